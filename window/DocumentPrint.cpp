#include "window/DocumentPrint.h"

#include "dialogs/Messages.h"
#include "window/FileDialogs.h"
#include "window/QtText.h"

#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <optional>

namespace {

constexpr int kTitlePoints = 16;
constexpr int kTextPoints = 9;
constexpr double kCellPadding = 3;

// Without ligatures, so the PDF's text reads as typed ("fi", not one glyph)
// for a search or a screen reader.
QTextCharFormat textFormat(int points, bool bold) {
    QTextCharFormat format;
    format.setFontStyleStrategy(QFont::PreferNoShaping);
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

void insertTable(QTextCursor& cursor, const PrintTable& table) {
    if (!table.heading.empty()) {
        cursor.insertBlock();
        cursor.insertText(qText(table.heading), textFormat(kTextPoints + 2, true));
    }
    QTextTableFormat format;
    format.setHeaderRowCount(1);
    format.setCellPadding(kCellPadding);
    format.setCellSpacing(0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    const int columns = static_cast<int>(table.columns.size());
    QTextTable* grid = cursor.insertTable(static_cast<int>(table.rows.size()) + 1, columns, format);
    const QTextCharFormat heading = textFormat(kTextPoints, true);
    const QTextCharFormat plain = textFormat(kTextPoints, false);
    for (int c = 0; c < columns; ++c) {
        QTextCursor cell = grid->cellAt(0, c).firstCursorPosition();
        cell.insertText(qText(table.columns[static_cast<std::size_t>(c)]), heading);
    }
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        for (int c = 0; c < columns && static_cast<std::size_t>(c) < row.size(); ++c) {
            QTextCursor cell = grid->cellAt(static_cast<int>(r) + 1, c).firstCursorPosition();
            cell.insertText(qText(row[static_cast<std::size_t>(c)]), plain);
        }
    }
    cursor.movePosition(QTextCursor::End);
}

} // namespace

std::unique_ptr<QTextDocument> layOutDocument(const PrintDocument& document) {
    auto text = std::make_unique<QTextDocument>();
    text->setMetaInformation(QTextDocument::DocumentTitle, qText(document.title));
    QTextCursor cursor(text.get());
    cursor.insertText(qText(document.title), textFormat(kTitlePoints, true));
    if (!document.subtitle.empty()) {
        cursor.insertBlock();
        cursor.insertText(qText(document.subtitle), textFormat(kTextPoints + 1, false));
    }
    for (const PrintTable& table : document.tables) {
        cursor.insertBlock();
        insertTable(cursor, table);
    }
    return text;
}

std::optional<QString> writePdf(const PrintDocument& document, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(qText(document.title));
        writer.setCreator(QStringLiteral("PX520"));
        layOutDocument(document)->print(&writer);
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

void printDocument(const PrintDocument& document, QWidget* parent) {
    const std::unique_ptr<QTextDocument> pages = layOutDocument(document);
    QPrintPreviewDialog preview(parent);
    preview.setWindowTitle(QStringLiteral("Print ") + qText(document.title));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&pages](QPrinter* printer) { pages->print(printer); });
    preview.exec();
}

void exportDocumentPdf(const PrintDocument& document, FileDialogs& fileDialogs, Messages& messages,
                       const QString& directory, const QString& proposedName) {
    const QString name = proposedName.isEmpty()
                             ? QString()
                             : QFileInfo(proposedName).completeBaseName() + QStringLiteral(".pdf");
    const auto chosen = fileDialogs.saveFileName(
        {directory, QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"), name});
    if (!chosen) {
        return;
    }
    if (const auto error = writePdf(document, *chosen)) {
        messages.stop(QStringLiteral("Cannot write %1: %2").arg(*chosen, *error));
    }
}
