#include "dialogs/Messages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

QString Messages::applicationTitle() {
    return QGuiApplication::applicationDisplayName();
}

void MessageBoxes::show(MessageKind kind, const QString& caption, const QString& text) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
    case MessageKind::Stop:
        icon = QMessageBox::Critical;
        break;
    case MessageKind::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case MessageKind::Information:
        icon = QMessageBox::Information;
        break;
    case MessageKind::Plain:
        break;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
    // Some platforms leave the main window inactive when a modal box closes.
    if (parent != nullptr) {
        parent->activateWindow();
    }
}

SaveChoice MessageBoxes::askToSave(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kMessageCaption), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (parent != nullptr) {
        parent->activateWindow();
    }
    switch (answer) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

bool MessageBoxes::askToSaveAs(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kMessageCaption), text,
                    QMessageBox::Cancel, parent);
    QPushButton* saveAs = box.addButton(QStringLiteral("Save As..."), QMessageBox::AcceptRole);
    box.setDefaultButton(saveAs);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    if (parent != nullptr) {
        parent->activateWindow();
    }
    return box.clickedButton() == saveAs;
}

bool MessageBoxes::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kMessageCaption), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    const int answer = box.exec();
    if (parent != nullptr) {
        parent->activateWindow();
    }
    return answer == QMessageBox::Yes;
}

void Messages::showOutcome(const OutcomeMessage& message) {
    const QString text =
        QString::fromUtf8(message.text.data(), static_cast<qsizetype>(message.text.size()));
    switch (message.kind) {
    case ViewMessage::Stop:
        stop(text);
        break;
    case ViewMessage::Exclamation:
        exclamation(text);
        break;
    case ViewMessage::Information:
        information(text);
        break;
    case ViewMessage::Plain:
        plain(text);
        break;
    }
}
