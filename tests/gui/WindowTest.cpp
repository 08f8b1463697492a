// The main window's shell: controls and their tables, the edit modes, the
// pointer rule and the table files of the File menu.

#include "ModalDriver.h"
#include "WindowFixture.h"

#include "model/ByteMap.h"
#include "model/VersionTag.h"
#include "rules/BehaviourRules.h"
#include "rules/CallRules.h"
#include "rules/ChannelStep.h"
#include "rules/ComboItems.h"
#include "rules/FieldRegistry.h"
#include "rules/FrequencyDigits.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>
#include <map>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace {

QByteArray bytesOf(const ConfigImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

// A configuration as the window shows it, with a few plain bytes changed, so
// that showing it again changes nothing.
ConfigImage shownTable() {
    WindowFixture plain;
    ConfigImage table = plain.image();
    table[field::BS_Period] = 99;
    table[field::RFDelay] = 44;
    table[field::Squelch] = 9;
    return table;
}

// Counts the pointer moves the application hands out, also those that no
// widget tracks.
class MoveCounter : public QObject {
public:
    MoveCounter() { QApplication::instance()->installEventFilter(this); }
    int moves = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            ++moves;
        }
        return QObject::eventFilter(watched, event);
    }
};

const char* const kEditingPrefixes[] = {"edt", "cbo", "chk", "btn"};

bool isEditingControl(const QWidget* w) {
    return std::any_of(std::begin(kEditingPrefixes), std::end(kEditingPrefixes),
                       [w](const char* p) { return w->objectName().startsWith(QLatin1String(p)); });
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowHasItsCaptionSizeTabsAndStatusBar() {
        WindowFixture f;
        TForm1& w = f.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("PX520 V3.8.2"));
        QCOMPARE(w.size(), QSize(833, 700));
        // The application's icon, from the program's own resources.
        QCOMPARE(w.windowIcon().pixmap(QSize(48, 48)).size(), QSize(48, 48));
        auto* pages = f.find<QTabWidget>("PageControl1");
        QCOMPARE(pages->count(), 4);
        const QStringList titles{"CALL", "Setting", "Config", "Advance Setting"};
        const QStringList names{"TabSheet1", "TabSheet3", "TabSheet2", "TabSheet4"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pages->tabText(i), titles[i]);
            QCOMPARE(pages->widget(i)->objectName(), names[i]);
            QCOMPARE(pages->isTabVisible(i), i != 3);
        }
        QCOMPARE(pages->currentIndex(), 0);
        w.setAdvanceUnlocked(true);
        QVERIFY(pages->isTabVisible(3));

        QCOMPARE(f.find<QLabel>("StatusPanel1")->text(), QStringLiteral("  Ready ......"));
        QCOMPARE(f.find<QWidget>("StatusPanel0")->width(), 320);
        QCOMPARE(f.find<QWidget>("StatusPanel1")->width(), 330);
        QVERIFY(f.find<QWidget>("StatusPanel2")->width() >= 50);
        auto* progress = f.find<QProgressBar>("PB1");
        QCOMPARE(progress->parentWidget()->objectName(), QStringLiteral("StatusPanel0"));
        QVERIFY(!progress->isVisible());
        QCOMPARE(progress->maximum(), 0);
        QVERIFY(!f.find<QStatusBar>("StatusBar1")->isSizeGripEnabled());

        // The version tag of the caption is in the image from the start.
        const auto tag = makeVersionTag("PX520 V3.8.2");
        QVERIFY(std::equal(tag.begin(), tag.end(), f.image().begin() + field::VersionTag));
        QVERIFY(f.messages.shown.empty());
    }

    void menuItemsHaveCaptionsAndShortcuts() {
        WindowFixture f;
        struct Item {
            const char* name;
            const char* caption;
            const char* shortcut;
            bool enabled;
        };
        // Write waits for Write Mode.
        const Item items[] = {
            {"OpenO1", "Open", "Ctrl+O", true},      {"SaveS1", "Save", "Ctrl+S", true},
            {"SaveAs1", "Save As ...", "", true},    {"ExitE1", "Exit", "Ctrl+E", true},
            {"Print1", "Print ...", "Ctrl+P", true}, {"ExportPdf1", "Export PDF ...", "", true},
            {"Write1", "Write", "F4", false},        {"Read1", "Read", "F3", true},
            {"Verify1", "Verify", "F2", true},       {"Advance2", "Advance", "", true},
            {"About2", "About", "", true},
        };
        for (const Item& item : items) {
            auto* action = f.find<QAction>(item.name);
            QCOMPARE(action->text(), QString::fromLatin1(item.caption));
            QCOMPARE(action->shortcut().toString(), QString::fromLatin1(item.shortcut));
            QCOMPARE(action->isEnabled(), item.enabled);
        }
        const QStringList menus{"FileF1", "Pager1", "Advance1", "About1"};
        const QStringList menuTitles{"File", "Pager", "Advance", "About"};
        for (int i = 0; i < menus.size(); ++i) {
            QCOMPARE(f.find<QMenu>(menus[i].toLatin1().constData())->title(), menuTitles[i]);
        }
        // Open Recent follows Open.
        const auto fileItems = f.find<QMenu>("FileF1")->actions();
        QCOMPARE(fileItems.size(), 8);
        QCOMPARE(fileItems[1]->menu()->objectName(), QStringLiteral("OpenRecent1"));
        QCOMPARE(fileItems[4]->objectName(), QStringLiteral("Print1"));
        QCOMPARE(fileItems[5]->objectName(), QStringLiteral("ExportPdf1"));
        QVERIFY(fileItems[6]->isSeparator());
        QCOMPARE(fileItems[6]->objectName(), QStringLiteral("N1"));
    }

    // A sample of every kind of control: name, caption, hint, Tag,
    // visibility and enabling at start, with the default image shown (edit
    // texts are the display pass's business).
    void controlsHaveTheirCaptionsHintsAndTags_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("enabled");
        const QString prio = "When it is selected, vibrate alerts are replaces by tone alerts.";
        const QString fix = "If it is selected, the tone alert is at maximum volume regardless of "
                            "the position of the control.";
        QTest::newRow("GroupBox2") << "GroupBox2"
                                   << "TONE 1 && TONE 2 "
                                   << "" << 0 << true << true;
        QTest::newRow("radUser") << "radUser"
                                 << " User Mode"
                                 << "If User Mode is selected, then any address tone frequency "
                                    "can be entered as"
                                 << 0 << true << true;
        QTest::newRow("RBtModify") << "RBtModify"
                                   << "Modify Mode"
                                   << "" << 0 << true << true;
        QTest::newRow("chkDuty3") << "chkDuty3"
                                  << "ON"
                                  << "Enable or disable CALL #3." << 3 << true << true;
        QTest::newRow("chkGDuty2") << "chkGDuty2"
                                   << "ON"
                                   << "Enable or disable CALL #2." << 2 << true << true;
        QTest::newRow("chkPriority4") << "chkPriority4"
                                      << "Priority Alert" << prio << 4 << true << false;
        QTest::newRow("chkGPriority1") << "chkGPriority1"
                                       << "Priority Alert" << prio << 1 << true << false;
        QTest::newRow("edtT24") << "edtT24"
                                << ""
                                << "" << 4 << true << false;
        QTest::newRow("edtT32") << "edtT32"
                                << ""
                                << "" << 2 << true << false;
        QTest::newRow("edtAlertTime2") << "edtAlertTime2"
                                       << ""
                                       << "" << 2 << false << false;
        QTest::newRow("edtGAlertTime1") << "edtGAlertTime1"
                                        << ""
                                        << "" << 1 << false << false;
        QTest::newRow("Label1") << "Label1"
                                << "F9"
                                << "" << 0 << false << true;
        QTest::newRow("Label2") << "Label2"
                                << "Open tone table )"
                                << "" << 0 << false << true;
        QTest::newRow("Label4") << "Label4"
                                << "TONE1"
                                << "Make tone field entries.Entries into the tone fields are "
                                   "subject to previous."
                                << 0 << true << true;
        QTest::newRow("Label34") << "Label34"
                                 << "Alert Type"
                                 << "" << 0 << false << true;
        QTest::newRow("chkSYSSV") << "chkSYSSV"
                                  << "Save voice"
                                  << "Enable or disable stored voice on models with this option."
                                  << 1 << true << true;
        QTest::newRow("chkSYSPTL") << "chkSYSPTL"
                                   << "Push To Listen"
                                   << "With this option the pager will be quite until the alert "
                                      "tones are sent, then the pager will alert but there will be "
                                      "no audio message after the alert."
                                   << 2 << false << true;
        QTest::newRow("chkSYSFIX") << "chkSYSFIX"
                                   << "FIX Alert" << fix << 4 << true << true;
        QTest::newRow("chkVolumeLevel") << "chkVolumeLevel"
                                        << "Priority Max. Volume Level" << fix << 0 << true << true;
        QTest::newRow("chkSYSPrivacy") << "chkSYSPrivacy"
                                       << "Privacy Enable"
                                       << "When it is selected, prevents the reset button from "
                                          "being used to monitor the channel."
                                       << 8 << true << true;
        QTest::newRow("lblHelp") << "lblHelp"
                                 << "Help"
                                 << "To displays \"RESET FUNCTION HELP\"." << 0 << true << true;
        QTest::newRow("Label27") << "Label27"
                                 << "Reminder"
                                 << QString::fromUtf8(
                                        "When \u201cSave voice\u201d is present, this "
                                        "option establishes the time witch the "
                                        "pager")
                                 << 0 << true << true;
        QTest::newRow("Label26") << "Label26"
                                 << "Delay Time"
                                 << "" << 0 << false << true;
        QTest::newRow("edtDelay") << "edtDelay"
                                  << ""
                                  << "" << 0 << false << true;
        QTest::newRow("Label22") << "Label22"
                                 << "Low Battery"
                                 << "" << 0 << false << true;
        QTest::newRow("edtDelayFullTime") << "edtDelayFullTime"
                                          << ""
                                          << "" << 0 << true << false;
        QTest::newRow("lblStandbySec") << "lblStandbySec"
                                       << "seconds"
                                       << "" << 0 << true << false;
        QTest::newRow("TBXLabel1") << "TBXLabel1"
                                   << "Notice : Only usable when Priority Alert is enable."
                                   << "" << 0 << true << true;
        QTest::newRow("Label65") << "Label65"
                                 << "Gap MAX."
                                 << "Gap MAX. default value : 5 x 100 ms" << 0 << true << true;
        QTest::newRow("edtGapMax") << "edtGapMax"
                                   << ""
                                   << "Gap MAX. default value : 5 x 100 ms" << 0 << true << true;
        QTest::newRow("edtSquelch") << "edtSquelch"
                                    << ""
                                    << "" << 0 << true << true;
        QTest::newRow("Button1") << "Button1"
                                 << "KB270"
                                 << "" << 0 << false << true;
        QTest::newRow("lblVersion") << "lblVersion"
                                    << "Version"
                                    << "" << 0 << false << true;
        QTest::newRow("edtVersion") << "edtVersion"
                                    << ""
                                    << "" << 0 << false << true;
        QTest::newRow("Label52") << "Label52"
                                 << "Range Of Frequency"
                                 << "Choose your desired frequency range." << 0 << true << true;
        QTest::newRow("GroupBox8") << "GroupBox8"
                                   << "System"
                                   << "Select the type of system that the address tones will be "
                                      "selected for."
                                   << 0 << true << true;
    }
    void controlsHaveTheirCaptionsHintsAndTags() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(int, tag);
        QFETCH(bool, shown);
        QFETCH(bool, enabled);
        WindowFixture f;
        auto* w = f.find<QWidget>(name.toLatin1().constData());
        f.showPageOf(w);
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            text = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            text = group->title();
        }
        QCOMPARE(text, caption);
        QCOMPARE(w->toolTip(), hint);
        if (!hint.isEmpty()) {
            QCOMPARE(w->toolTipDuration(), 7000);
        }
        QCOMPARE(w->property("Tag").toInt(), tag);
        QCOMPARE(w->isVisible(), shown);
        QCOMPARE(w->isEnabled(), enabled);
    }

    // The captions the command line prints beside each field are the
    // window's: a check box's own text, or for an edit or a list the label
    // on its row to its left; per-call fields name their column or box in
    // the call's group box.
    void fieldCaptionsAreTheWindowsOwn() {
        WindowFixture f;
        TForm1& w = f.window();
        const std::map<std::string_view, const char*> controls{
            {"Version", "edtVersion"},
            {"Freq", "edtFreq"},
            {"CSpace", "cboCSpace"},
            {"BandWidth", "cboBandWidth"},
            {"Tone1Limit", "edtTone1Limit"},
            {"Tone1Len", "edtTone1Len"},
            {"Tone2Limit", "edtTone2Limit"},
            {"Tone2Len", "edtTone2Len"},
            {"BS_Period", "edtBS_Period"},
            {"BS_Duty", "edtBS_Duty"},
            {"RecordMax", "cboRecordMax"},
            {"BatteryLow", "cboBatteryLow"},
            {"RSSI", "edtRSSI"},
            {"AutoMonitor", "edtAutoMonitor"},
            {"AudioLock", "edtAudioLock"},
            {"ResetCon", "cboResetCon"},
            {"Delay", "edtDelay"},
            {"SYSSV", "chkSYSSV"},
            {"SYSPTL", "chkSYSPTL"},
            {"SYSAudio", "chkSYSAudio"},
            {"SYSFIX", "chkSYSFIX"},
            {"SYSPow", "chkSYSPow"},
            {"SYSVib", "chkSYSVib"},
            {"SYSPowSave", "chkSYSPowSave"},
            {"SYSPrivacy", "chkSYSPrivacy"},
            {"Reminder", "cboReminder"},
            {"Tone3Len", "edtTone3Len"},
            {"RFDelay", "edtRFDelay"},
            {"RSSI2", "edtRSSI2"},
            {"NoiseLimit", "edtNoiseLimit"},
            {"GapMax", "edtGapMax"},
            {"SSI", "edtSSI"},
            {"DecorderReset", "edtDecorderReset"},
            {"FullTimeAutoMonitor", "chkFullTimeAutoMonitor"},
            {"VolumeLevel", "chkVolumeLevel"},
            {"PTL", "cboPTL"},
            {"DelayFullTime", "edtDelayFullTime"},
            {"Squelch", "edtSquelch"},
            {"PLLR", "lblPLLR"},
            {"PLLN", "lblPLLN"},
            {"Duty", "chkDuty"},
            {"Priority", "chkPriority"},
            {"AlertType", "cboAlertType"},
            {"AlertTime", "edtAlertTime"},
            {"T1", "edtT1"},
            {"T2", "edtT2"},
            {"GDuty", "chkGDuty"},
            {"GPriority", "chkGPriority"},
            {"GAlertType", "cboGAlertType"},
            {"GAlertTime", "edtGAlertTime"},
            {"T3", "edtT3"},
        };
        const auto rectOf = [&w](const QWidget* widget) {
            return QRect(widget->mapTo(&w, QPoint(0, 0)), widget->size());
        };
        const auto labels = w.findChildren<QLabel*>();
        int checked = 0;
        for (const FieldRef& ref : allFieldRefs()) {
            if (fieldCaption(ref).empty()) {
                continue;
            }
            const auto found = controls.find(ref.def->name);
            QVERIFY2(found != controls.end(), ref.def->name.data());
            const QString name = QString::fromLatin1(found->second) +
                                 (ref.call != 0 ? QString::number(ref.call) : QString());
            auto* control = f.find<QWidget>(name.toLatin1().constData());
            const QString caption = QString::fromUtf8(ref.def->caption.data(),
                                                      static_cast<qsizetype>(ref.def->caption.size()));
            if (caption.isEmpty()) {
                // A group call's tone: its row alone names it.
                QCOMPARE(QString::fromStdString(fieldCaption(ref)),
                         QStringLiteral("Group CALL #%1").arg(ref.call));
                continue;
            }
            ++checked;
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                QCOMPARE(button->text(), caption);
                continue;
            }
            const QRect at = rectOf(control);
            const bool labelled = std::ranges::any_of(labels, [&](const QLabel* label) {
                if (label->text() != caption) {
                    return false;
                }
                if (ref.call != 0) {
                    // A column head in the same group box.
                    return label->parentWidget() == control->parentWidget()->parentWidget();
                }
                const QRect r = rectOf(label);
                return r.right() <= at.left() + 2 && r.center().y() >= at.top() - 4 &&
                       r.center().y() <= at.bottom() + 4;
            });
            QVERIFY2(labelled, qPrintable(name + " has no label " + caption));
        }
        QVERIFY(checked > 50);
    }

    // Every pick-list shows its list from the core, in order; the captions
    // themselves are checked with the lists.
    void comboBoxesArePickListsWithTheirItems() {
        WindowFixture f;
        for (QComboBox* box : f.window().findChildren<QComboBox*>()) {
            QVERIFY2(!box->isEditable(), qPrintable(box->objectName()));
        }
        const std::pair<const char*, std::span<const std::string_view>> lists[] = {
            {"cboRangeFreq", kBandItems},
            {"cboCSpace", stepItems(bandOfImage(f.image()))},
            {"cboAlertType1", kAlertTypeItems},
            {"cboAlertType2", kAlertTypeItems},
            {"cboAlertType3", kAlertTypeItems},
            {"cboAlertType4", kAlertTypeItems},
            {"cboGAlertType1", kAlertTypeItems},
            {"cboGAlertType2", kAlertTypeItems},
            {"cboResetCon", behaviour::kResetMethodNames},
            {"cboReminder", kReminderItems},
            {"cboBatteryLow", kBatteryLowItems},
            {"cboPTL", kPushToListenItems},
            {"cboRecordMax", kRecordMaxItems},
            {"cboBandWidth", kBandWidthItems},
        };
        for (const auto& [name, list] : lists) {
            QStringList shown;
            auto* box = f.find<QComboBox>(name);
            for (int i = 0; i < box->count(); ++i) {
                shown << box->itemText(i);
            }
            QStringList expected;
            for (std::string_view item : list) {
                expected << QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
            }
            QVERIFY2(shown == expected,
                     qPrintable(QStringLiteral("%1 shows %2").arg(name, shown.join(", "))));
        }
        QCOMPARE(f.find<QLineEdit>("edtFreq")->maxLength(), 7);
    }

    void portBoxListsTheHandedInPortsWithTheirDescriptions() {
        WindowFixture f({}, {{"ttyNONE7", ""}, {"ttyNONE8", "CP2102 USB to UART (ttyNONE8)"}});
        auto* ports = f.find<QComboBox>("cboPort");
        QCOMPARE(ports->count(), 2);
        QCOMPARE(ports->itemText(0), QStringLiteral("ttyNONE7"));
        QCOMPARE(ports->itemText(1), QStringLiteral("ttyNONE8"));
        QCOMPARE(ports->itemData(1, Qt::ToolTipRole).toString(),
                 QStringLiteral("CP2102 USB to UART (ttyNONE8)"));
        QCOMPARE(ports->currentIndex(), 0);
    }

    void portBoxShowsAWholeDevicePathInItsListAndHint() {
        const QString longPath =
            QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        WindowFixture f({}, {{"ttyNONE7", ""}, {longPath.toStdString(), ""}});
        auto* ports = f.find<QComboBox>("cboPort");
        QVERIFY(ports->view()->minimumWidth() >
                ports->view()->fontMetrics().horizontalAdvance(longPath));
        // The box keeps its place in the strip however long the path.
        QVERIFY(ports->width() < ports->view()->minimumWidth());
        QCOMPARE(ports->toolTip(), QStringLiteral("ttyNONE7"));
        ports->setCurrentIndex(1);
        QCOMPARE(ports->toolTip(), longPath);
    }

    void perCallControlsCarryTheirCallAsTag() {
        WindowFixture f;
        // The controls of one per-call field, by call number; slot 0 stays empty.
        auto table = [&f](const char* prefix, std::size_t size) {
            std::vector<QWidget*> byCall(size, nullptr);
            for (std::size_t n = 1; n < size; ++n) {
                byCall[n] = f.window().findChild<QWidget*>(QStringLiteral("%1%2").arg(prefix).arg(n));
            }
            return byCall;
        };
        auto check = [&table](const char* prefix, std::size_t size) {
            const std::vector<QWidget*> t = table(prefix, size);
            QVERIFY(t[0] == nullptr);
            for (std::size_t n = 1; n < t.size(); ++n) {
                QVERIFY2(t[n] != nullptr, prefix);
                QCOMPARE(t[n]->property("Tag").toInt(), static_cast<int>(n));
                QVERIFY(t[n]->objectName().startsWith(QLatin1String(prefix)));
            }
        };
        check("edtT1", 5);
        check("edtT2", 5);
        check("edtT3", 3);
        check("chkDuty", 5);
        check("chkPriority", 5);
        check("chkGDuty", 3);
        check("chkGPriority", 3);
        check("edtAlertTime", 5);
        check("edtGAlertTime", 3);
        check("cboAlertType", 5);
        check("cboGAlertType", 3);
        // The system switches by their Tag, which is their bit number plus one.
        const QStringList flags{
            "",          "chkSYSSV",  "chkSYSPTL",     "chkSYSAudio",  "chkSYSFIX",
            "chkSYSPow", "chkSYSVib", "chkSYSPowSave", "chkSYSPrivacy"};
        std::array<QCheckBox*, 9> chkSYS{};
        for (QCheckBox* box : f.window().findChildren<QCheckBox*>()) {
            const int tag = box->property("Tag").toInt();
            if (box->objectName().startsWith(QLatin1String("chkSYS")) && tag > 0 &&
                static_cast<std::size_t>(tag) < chkSYS.size()) {
                chkSYS[static_cast<std::size_t>(tag)] = box;
            }
        }
        QVERIFY(chkSYS[0] == nullptr);
        for (std::size_t tag = 1; tag <= 8; ++tag) {
            QVERIFY(chkSYS[tag] != nullptr);
            QCOMPARE(chkSYS[tag]->property("Tag").toInt(), static_cast<int>(tag));
            QCOMPARE(chkSYS[tag]->objectName(), flags[static_cast<int>(tag)]);
            // The registry stores the switch at that bit.
            const FieldDef* def = findField(flags[static_cast<int>(tag)].mid(3).toStdString());
            QVERIFY(def != nullptr);
            QCOMPARE(def->bits(0).mask, static_cast<std::uint8_t>(1U << (tag - 1)));
        }
    }

    void writeModeDisablesEditingAndModifyModeRestoresItsRules() {
        WindowFixture f;
        TForm1& w = f.window();
        // Call 2 and group call 1 off, privacy on, audio lock off, save voice off.
        const QStringList on{"chkDuty1", "chkDuty3", "chkDuty4", "chkGDuty2", "chkSYSPrivacy"};
        const QStringList off{"chkDuty2", "chkGDuty1", "chkSYSAudio", "chkSYSSV"};
        for (const QString& name : on) {
            f.find<QCheckBox>(name.toLatin1().constData())->setChecked(true);
        }
        for (const QString& name : off) {
            f.find<QCheckBox>(name.toLatin1().constData())->setChecked(false);
        }

        QTest::mouseClick(f.find<QRadioButton>("RBtWrite"), Qt::LeftButton);
        f.settle();
        for (QWidget* control : w.findChildren<QWidget*>()) {
            // The window's own controls; the dialogs keep theirs.
            if (!isEditingControl(control) || control->window() != &w) {
                continue;
            }
            const bool expected =
                control->objectName() == "edtVersion" || control->objectName() == "edtNull";
            QVERIFY2(control->isEnabled() == expected, qPrintable(control->objectName()));
        }
        // The Advance menu stays usable, and so does the lock it opens.
        QVERIFY(f.find<QLineEdit>("edtPwd")->isEnabled());
        QVERIFY(f.find<QPushButton>("btnOK")->isEnabled());
        QVERIFY(!f.find<QComboBox>("cboPort")->isEnabled());
        QVERIFY(f.find<QRadioButton>("RBtModify")->isEnabled());

        QTest::mouseClick(f.find<QRadioButton>("RBtModify"), Qt::LeftButton);
        f.settle();
        const QStringList disabled{
            "edtT12",       "edtT22",         "edtAlertTime2",  "cboAlertType2", "chkPriority2",
            "edtT31",       "edtGAlertTime1", "cboGAlertType1", "chkGPriority1", "chkSYSAudio",
            "edtAudioLock", "edtAutoMonitor", "cboPTL",         "cboRecordMax"};
        for (QWidget* control : w.findChildren<QWidget*>()) {
            if (isEditingControl(control)) {
                QVERIFY2(control->isEnabled() != disabled.contains(control->objectName()),
                         qPrintable(control->objectName()));
            }
        }
        for (const char* label :
             {"Label24", "Label31", "Label23", "Label30", "Label75", "Label21"}) {
            QVERIFY2(!f.find<QLabel>(label)->isEnabled(), label);
        }
        QVERIFY(!f.find<QAction>("Write1")->isEnabled());
    }

    void writeItemFollowsTheMode() {
        WindowFixture f;
        auto* write = f.find<QAction>("Write1");
        int writes = 0;
        QObject::connect(write, &QAction::triggered, [&writes] { ++writes; });
        QTest::keyClick(&f.window(), Qt::Key_F4);
        f.settle();
        QVERIFY(!write->isEnabled());
        QCOMPARE(writes, 0);
        QVERIFY(f.messages.shown.empty());

        QTest::mouseClick(f.find<QRadioButton>("RBtWrite"), Qt::LeftButton);
        QVERIFY(write->isEnabled());
        QTest::keyClick(&f.window(), Qt::Key_F4);
        f.settle();
        QCOMPARE(writes, 1);
        // No board behind the fixture's ports.
        QCOMPARE(f.messages.texts(), QStringList{kBoardNotResponding});
        QVERIFY(write->isEnabled());

        QTest::mouseClick(f.find<QRadioButton>("RBtModify"), Qt::LeftButton);
        QVERIFY(!write->isEnabled());
    }

    void pointerOverTheBareWindowEndsTheEntry() {
        WindowFixture f;
        auto* freq = f.edit("edtFreq");
        f.enter(freq);
        QCOMPARE(f.focused(), freq);
        f.find<QLabel>("Label1")->show();
        auto* central = f.find<QWidget>("centralWidget");
        // Over a control nothing happens, once the move has been handed out...
        const MoveCounter seen;
        QTest::mouseMove(central, f.find<QWidget>("GroupBox1")->geometry().center());
        QTRY_VERIFY(seen.moves > 0);
        f.settle();
        QCOMPARE(f.focused(), freq);
        // ...over the bare background the entry ends.
        QTest::mouseMove(central, QPoint(central->width() - 3, 30));
        QTRY_COMPARE(f.focused(), f.find<QWidget>("edtNull"));
        QVERIFY(f.find<QLabel>("Label1")->isHidden());
        QVERIFY(f.find<QLabel>("Label9")->isHidden());
        QVERIFY(f.find<QLabel>("Label2")->isHidden());
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 0, 0}));

        f.enter(f.edit("edtBS_Period"));
        QTest::mouseMove(f.find<QWidget>("GroupBox3"), QPoint(3, 3));
        QTRY_COMPARE(f.focused(), f.find<QWidget>("edtNull"));
    }

    // Only the bare window and its group boxes count, not a drag across a
    // field's own text.
    void draggingAcrossAFieldKeepsItsEntry() {
        WindowFixture f;
        auto* freq = f.edit("edtFreq");
        f.enter(freq);
        QMouseEvent drag(QEvent::MouseMove, QPointF(2, 2), freq->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(freq, &drag);
        f.settle();
        QCOMPARE(f.focused(), freq);
    }

    void f9OpensTheToneTableOnlyInStandardModeWithATarget() {
        WindowFixture f;
        ModalCloser opened;
        f.key(&f.window(), Qt::Key_F9);
        QVERIFY(opened.seen.isEmpty()); // no target yet
        auto* tone = f.edit("edtT11");
        f.enter(tone);
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{1, 0, 0}));
        f.key(tone, Qt::Key_F9);
        QCOMPARE(opened.seen, QStringList{"TForm2"});
        f.find<QRadioButton>("radUser")->setChecked(true);
        f.key(tone, Qt::Key_F9);
        QCOMPARE(opened.seen.size(), 1);
        f.find<QRadioButton>("radStandard")->setChecked(true);
        auto* central = f.find<QWidget>("centralWidget");
        QTest::mouseMove(central, QPoint(central->width() - 3, 30));
        QTRY_COMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 0, 0}));
        f.key(&f.window(), Qt::Key_F9);
        QCOMPARE(opened.seen.size(), 1);
    }

    void openReadsUpTo256BytesAndAsksWithTheTableFilter() {
        const ConfigImage table = shownTable();
        WindowFixture f;
        const int beyondTheFile = 230; // no field lives there
        f.image()[beyondTheFile] = 0x77;
        const QString shortFile = f.workFolder().filePath("short.tbl");
        writeFile(shortFile, bytesOf(table).left(100));
        f.dialogs.answers = {shortFile};
        QTest::keyClick(&f.window(), Qt::Key_O, Qt::ControlModifier);
        f.settle();
        QCOMPARE(bytesOf(f.image()).left(100), bytesOf(table).left(100));
        QCOMPARE(f.image()[beyondTheFile], 0x77);
        QCOMPARE(f.edit("edtBS_Period")->text(), QStringLiteral("99"));
        QCOMPARE(f.dialogs.asked.size(), std::size_t{1});
        const FileDialogSetup& setup = f.dialogs.asked.front();
        QCOMPARE(setup.filter, QStringLiteral("Table files (*.tbl)"));
        QCOMPARE(setup.defaultSuffix, QStringLiteral("tbl"));
        QCOMPARE(QDir(setup.directory), f.workFolder());
        QCOMPARE(setup.fileName, QString());
        QVERIFY(f.messages.shown.empty());
        // Open does not change where Save writes.
        QCOMPARE(f.window().currentSaveFileName(), QStringLiteral("default.tbl"));

        // Cancel changes nothing; a file that cannot be read says so.
        const ConfigImage opened = f.image();
        f.find<QAction>("OpenO1")->trigger();
        f.dialogs.answers = {f.workFolder().filePath("gone.tbl")};
        f.find<QAction>("OpenO1")->trigger();
        QCOMPARE(f.messages.texts(), QStringList{"Open Error!"});
        QCOMPARE(f.messages.shown.front().kind, MessageKind::Exclamation);
        QCOMPARE(f.messages.shown.front().caption, QStringLiteral("PX520"));
        QVERIFY(f.image() == opened);
    }

    void saveWritesTheImageAndKeepsTheTailOfALongerFile() {
        WindowFixture f;
        f.image()[0] = 0xA5;
        const QString target = f.workFolder().filePath("default.tbl");
        writeFile(target, QByteArray(300, '\x11'));
        QTest::keyClick(&f.window(), Qt::Key_S, Qt::ControlModifier);
        f.settle();
        const QByteArray written = readFile(target);
        QCOMPARE(written.size(), 300);
        QCOMPARE(written.left(256), bytesOf(f.image()));
        QCOMPARE(written.mid(256), QByteArray(44, '\x11'));
        QVERIFY(f.dialogs.asked.empty());
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(f.find<QLabel>("StatusPanel2")->text(), QString());
    }

    void saveAsNamesTheFileInTheStatusBarAndBecomesTheSaveName() {
        WindowFixture f;
        f.dialogs.answers = {f.workFolder().filePath("shop.tbl")};
        f.find<QAction>("SaveAs1")->trigger();
        QCOMPARE(readFile(f.workFolder().filePath("shop.tbl")), bytesOf(f.image()));
        QCOMPARE(f.find<QLabel>("StatusPanel2")->text(), QStringLiteral("File Name:shop.tbl"));
        QCOMPARE(f.dialogs.asked.front().fileName, QStringLiteral("default.tbl"));
        QCOMPARE(f.dialogs.asked.front().defaultSuffix, QStringLiteral("tbl"));

        // Save now goes to the new name.
        f.image()[5] = 7;
        f.find<QAction>("SaveS1")->trigger();
        QCOMPARE(readFile(f.workFolder().filePath("shop.tbl")).at(5), '\x07');
        QVERIFY(!QFile::exists(f.workFolder().filePath("default.tbl")));

        // A file outside the start folder is named in full.
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath("other.tbl");
        f.dialogs.answers = {outside};
        f.find<QAction>("SaveAs1")->trigger();
        QCOMPARE(f.find<QLabel>("StatusPanel2")->text(), "File Name:" + outside);
        QVERIFY(f.messages.shown.empty());
    }

    void saveAsToAnUnwritablePlaceReportsAndStillTakesTheName() {
        WindowFixture f;
        const QString folderAsFile = f.workFolder().filePath("sub");
        QVERIFY(f.workFolder().mkdir("sub"));
        f.dialogs.answers = {folderAsFile};
        f.find<QAction>("SaveAs1")->trigger();
        QCOMPARE(f.messages.texts(), QStringList{"Save Error!"});
        QCOMPARE(f.window().currentSaveFileName(), folderAsFile);
        f.find<QAction>("SaveS1")->trigger();
        QCOMPARE(f.messages.texts(), (QStringList{"Save Error!", "Save Error!"}));
    }

    void defaultTableIsLoadedAtStartWhenItNamesThisModel() {
        ConfigImage table = shownTable();
        // Only the model part of the tag counts.
        std::copy_n("PX520 V9.9", 10, table.begin() + field::VersionTag);
        WindowFixture f(
            [&table](const QDir& dir) { writeFile(dir.filePath("default.tbl"), bytesOf(table)); });
        QCOMPARE(f.startUpTexts(), QStringList{kBoardNotResponding});
        QVERIFY(f.image() == table);
        QCOMPARE(f.edit("edtRFDelay")->text(), QStringLiteral("44"));
    }

    void defaultTableOfAnotherModelOrUnreadableIsRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("other model")
            << "other"
            << "This default table is not PX520." << static_cast<int>(MessageKind::Plain);
        QTest::newRow("short, zero tag")
            << "short"
            << "This default table is not PX520." << static_cast<int>(MessageKind::Plain);
        QTest::newRow("unreadable")
            << "folder"
            << "Open default.tbl error!" << static_cast<int>(MessageKind::Exclamation);
    }
    void defaultTableOfAnotherModelOrUnreadableIsRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QByteArray table = bytesOf(shownTable());
        table.replace(field::VersionTag, 5, "PX521");
        WindowFixture f([&kind, &table](const QDir& dir) {
            if (kind == "other") {
                writeFile(dir.filePath("default.tbl"), table);
            } else if (kind == "short") {
                writeFile(dir.filePath("default.tbl"), table.left(100));
            } else {
                dir.mkdir("default.tbl");
            }
        });
        // After the board search.
        QCOMPARE(f.startUpTexts(), (QStringList{kBoardNotResponding, message}));
        QCOMPARE(static_cast<int>(f.startUpMessages.back().kind), icon);
        // The built-in defaults stay.
        const ConfigImage shown = f.image();
        WindowFixture plain;
        QVERIFY(shown == plain.image());
    }

    void exitClosesTheWindow() {
        WindowFixture f;
        QTest::keyClick(&f.window(), Qt::Key_E, Qt::ControlModifier);
        f.settle();
        QVERIFY(!f.window().isVisible());
    }

    // px520 FILE.tbl: the file is opened as Open opens it, after the board
    // search and in place of default.tbl, and Save writes to it.
    void tableFileNamedAtStartReplacesTheDefaultTable() {
        ConfigImage table = shownTable();
        ConfigImage other = table;
        other[field::RFDelay] = 55;
        WindowFixture f(
            [&](const QDir& dir) {
                writeFile(dir.filePath("default.tbl"), bytesOf(other));
                writeFile(dir.filePath("shop.tbl"), bytesOf(table));
            },
            {{"ttyNONE0", ""}}, QStringLiteral("shop.tbl"));
        QCOMPARE(f.startUpTexts(), QStringList{kBoardNotResponding});
        QVERIFY(f.image() == table);
        QCOMPARE(f.edit("edtRFDelay")->text(), QStringLiteral("44"));
        QCOMPARE(f.window().currentSaveFileName(), QStringLiteral("shop.tbl"));

        f.image()[field::Squelch] = 3;
        f.find<QAction>("SaveS1")->trigger();
        QCOMPARE(readFile(f.workFolder().filePath("shop.tbl")), bytesOf(f.image()));
        QCOMPARE(readFile(f.workFolder().filePath("default.tbl")), bytesOf(other));
    }

    void unreadableTableFileNamedAtStartLeavesTheDefaultImage() {
        WindowFixture f(
            [](const QDir& dir) { writeFile(dir.filePath("default.tbl"), bytesOf(shownTable())); },
            {{"ttyNONE0", ""}}, QStringLiteral("missing.tbl"));
        QCOMPARE(f.startUpTexts(), (QStringList{kBoardNotResponding, "Open Error!"}));
        QCOMPARE(static_cast<int>(f.startUpMessages.back().kind),
                 static_cast<int>(MessageKind::Exclamation));
        QCOMPARE(f.window().currentSaveFileName(), QStringLiteral("default.tbl"));
        const ConfigImage shown = f.image();
        WindowFixture plain;
        QVERIFY(shown == plain.image());
    }
};

PX520_GUI_TEST_MAIN(WindowTest)

#include "WindowTest.moc"
