// The Config and Advance Setting tabs in the window: byte edits, signal
// levels, decoder reset, bandwidth, gap max and the carrier-off delay.

#include "SettingsDriver.h"

#include "model/ByteMap.h"

namespace {

const QString kByteRange = QStringLiteral("Please insert a number between 0 to 255");
const QString kVoltRange = QStringLiteral("Please insert a number between 0 to 1");

} // namespace

class ReceiverEditorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> w;

private slots:
    void init() {
        w = std::make_unique<WindowFixture>();
        w->window().setAdvanceUnlocked(true);
    }
    void cleanup() { w.reset(); }

    void typedEntries_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown"); // after the entry
        QTest::newRow("battery save 255") << "edtBS_Period" << field::BS_Period << "255"
                                          << "" << 255 << "255";
        QTest::newRow("battery save 007") << "edtBS_Period" << field::BS_Period << "007"
                                          << "" << 7 << "007";
        QTest::newRow("battery save 256")
            << "edtBS_Period" << field::BS_Period << "256" << kByteRange << 0 << "";
        QTest::newRow("AD delay 0") << "edtBS_Duty" << field::BS_Duty << "0"
                                    << "" << 0 << "0";
        QTest::newRow("RF delay 100") << "edtRFDelay" << field::RFDelay << "100"
                                      << "" << 100 << "100";
        QTest::newRow("RF delay 300")
            << "edtRFDelay" << field::RFDelay << "300" << kByteRange << 0 << "";
        QTest::newRow("noise limit 9") << "edtNoiseLimit" << field::NoiseLimit << "9"
                                       << "" << 9 << "9";
        QTest::newRow("carrier off 200") << "edtSquelch" << field::Squelch << "200"
                                         << "" << 200 << "200";
        QTest::newRow("carrier off 999")
            << "edtSquelch" << field::Squelch << "999" << kByteRange << 0 << "";
        QTest::newRow("gap max 255") << "edtGapMax" << field::GapMax << "255"
                                     << "" << 255 << "255";
        // One byte: refused rather than cut to its low 8 bits.
        QTest::newRow("gap max 256")
            << "edtGapMax" << field::GapMax << "256" << kByteRange << 0 << "";
        QTest::newRow("gap max 65535")
            << "edtGapMax" << field::GapMax << "65535" << kByteRange << 0 << "";
        QTest::newRow("speaker off 0.50") << "edtRSSI2" << field::RSSI2 << "0.50"
                                          << "" << 43 << "0.50";
        QTest::newRow("NRSSI 1") << "edtRSSI" << field::RSSI << "1"
                                 << "" << 85 << "1.00";
        QTest::newRow("speaker on 0.33") << "edtSSI" << field::SSI << "0.33"
                                         << "" << 28 << "0.33";
        QTest::newRow("NRSSI 1.5") << "edtRSSI" << field::RSSI << "1.5" << kVoltRange << 0 << "";
        QTest::newRow("decoder reset 0") << "edtDecorderReset" << field::DecorderReset << "0"
                                         << "" << 0 << "0.0";
        QTest::newRow("decoder reset 127.5")
            << "edtDecorderReset" << field::DecorderReset << "127.5"
            << "" << 255 << "127.5";
        QTest::newRow("decoder reset 2.3") << "edtDecorderReset" << field::DecorderReset << "2.3"
                                           << "The interval is 0.5 second." << 0 << "30.0";
        QTest::newRow("decoder reset 128")
            << "edtDecorderReset" << field::DecorderReset << "128"
            << "Please insert a number between 0 to 127.5" << 0 << "";
    }
    void typedEntries() {
        QFETCH(QString, edit);
        QFETCH(int, pos);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        TEdit* field = w->edit(qPrintable(edit));
        const ConfigImage before = w->image();
        w->typeAndTab(field, typed);
        QCOMPARE(field->text(), shown);
        if (message.isEmpty()) {
            QVERIFY(w->messages.shown.empty());
            QCOMPARE(w->image()[static_cast<std::size_t>(pos)], stored);
            QVERIFY(w->focused() != field);
            return;
        }
        QCOMPARE(w->messages.texts(), QStringList{message});
        QCOMPARE(w->messages.shown[0].kind, MessageKind::Exclamation);
        QCOMPARE(w->messages.shown[0].caption, QStringLiteral("PX520"));
        QVERIFY(w->image() == before);
        if (shown.isEmpty()) {
            // Refused: the field is entered anew, and left empty shows the stored value.
            QCOMPARE(w->focused(), field);
            w->key(field, Qt::Key_Tab);
            QCOMPARE(w->messages.shown.size(), std::size_t{1});
            QVERIFY(!field->text().isEmpty());
            QVERIFY(w->image() == before);
        }
    }

    void levelShowsTheStoredByteAfterARefresh() {
        TEdit* field = w->edit("edtRSSI2");
        w->typeAndTab(field, "0.50");
        QCOMPARE(field->text(), QStringLiteral("0.50"));
        w->window().showImage();
        QCOMPARE(field->text(), QStringLiteral("0.51"));
    }

    void enterInALevelKeepsTheFocus() {
        TEdit* field = w->edit("edtSSI");
        w->enter(field);
        w->type(field, "1.5");
        w->key(field, Qt::Key_Return);
        QCOMPARE(w->messages.texts(), QStringList{kVoltRange});
        QCOMPARE(w->focused(), field);
        QCOMPARE(field->text(), QStringLiteral("1.5"));

        field->clear();
        w->type(field, "0.8");
        w->key(field, Qt::Key_Return);
        QCOMPARE(w->messages.shown.size(), std::size_t{1});
        QCOMPARE(w->focused(), field);
        QCOMPARE(field->text(), QStringLiteral("0.80"));
        QCOMPARE(w->image()[field::SSI], 68);
    }

    void leftEmptyShowsTheStoredValue_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("shown");
        QTest::newRow("battery save") << "edtBS_Period"
                                      << "15";
        QTest::newRow("noise limit") << "edtNoiseLimit"
                                     << "1";
        QTest::newRow("gap max") << "edtGapMax"
                                 << "5";
        QTest::newRow("NRSSI") << "edtRSSI"
                               << "0.71";
        QTest::newRow("decoder reset") << "edtDecorderReset"
                                       << "30.0";
    }
    void leftEmptyShowsTheStoredValue() {
        QFETCH(QString, edit);
        QFETCH(QString, shown);
        TEdit* field = w->edit(qPrintable(edit));
        const ConfigImage before = w->image();
        w->enter(field);
        QCOMPARE(field->text(), QString());
        w->key(field, Qt::Key_Tab);
        QCOMPARE(field->text(), shown);
        QVERIFY(w->focused() != field);
        QVERIFY(w->messages.shown.empty());
        QVERIFY(w->image() == before);
    }

    // Left empty, the carrier-off delay sends the focus to the sink instead
    // of the field the user clicked.
    void carrierOffDelayLeftEmptyEndsInTheSink_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("toSink");
        QTest::newRow("carrier off delay") << "edtSquelch" << true;
        QTest::newRow("gap max, for comparison") << "edtGapMax" << false;
    }
    void carrierOffDelayLeftEmptyEndsInTheSink() {
        QFETCH(QString, edit);
        QFETCH(bool, toSink);
        TEdit* field = w->edit(qPrintable(edit));
        TEdit* other = w->edit("edtTone3Len");
        w->enter(field);
        QTest::mouseClick(other, Qt::LeftButton);
        WindowFixture::settle();
        QCOMPARE(
            field->text(),
            QString::number(w->image()[edit == "edtSquelch" ? field::Squelch : field::GapMax]));
        QCOMPARE(w->focused(), toSink ? w->find<QWidget>("edtNull") : static_cast<QWidget*>(other));
        QVERIFY(w->messages.shown.empty());
    }

    void bandwidthStoresItsIndex() {
        auto* bandwidth = w->find<QComboBox>("cboBandWidth");
        QCOMPARE(bandwidth->currentText(), QStringLiteral("1.5"));
        pick(*w, bandwidth, "3.1");
        QCOMPARE(w->image()[field::BandWidth], 15);
        pick(*w, bandwidth, "0.1");
        QCOMPARE(w->image()[field::BandWidth], 0);
        pick(*w, bandwidth, "1.5");
        QCOMPARE(w->image()[field::BandWidth], 7);
    }
};

PX520_GUI_TEST_MAIN(ReceiverEditorsTest)
#include "ReceiverEditorsTest.moc"
