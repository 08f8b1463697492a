// Band, frequency and channel step in the window: the Auto rule, the
// synthesizer words shown and stored, the band ranges, the remembered
// frequency of each band and the channel spacing error.

#include "SettingsDriver.h"

#include "model/ByteMap.h"
#include "rules/FrequencyDigits.h"

#include <QLabel>

namespace {

const QString kSpacingError = QStringLiteral("Channel Spacing Error!");

QString hex8(std::uint32_t word) {
    return QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class FrequencyEditorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> w;
    TEdit* freq = nullptr;
    QComboBox* band = nullptr;
    QComboBox* step = nullptr;

    // The words shown and the words stored agree.
    void verifyWords(const QString& pllr, const QString& plln) {
        QCOMPARE(w->find<QLabel>("lblPLLR")->text(), pllr);
        QCOMPARE(w->find<QLabel>("lblPLLN")->text(), plln);
        QCOMPARE(hex8(readDword(w->image(), field::PLLR)), pllr);
        QCOMPARE(hex8(readDword(w->image(), field::PLLN)), plln);
    }

private slots:
    void init() {
        w = std::make_unique<WindowFixture>();
        freq = w->edit("edtFreq");
        band = w->find<QComboBox>("cboRangeFreq");
        step = w->find<QComboBox>("cboCSpace");
    }
    void cleanup() { w.reset(); }

    void defaultImageIsShownWithAutoWords() {
        QCOMPARE(freq->text(), QStringLiteral("1590000"));
        QCOMPARE(band->currentText(), QStringLiteral("135-174 MHz"));
        QCOMPARE(itemsOf(step), (QStringList{"12.5 K", "10 K", "Auto"}));
        QCOMPARE(step->currentText(), QStringLiteral("Auto"));
        QCOMPARE(w->image()[field::CSpace], 32);
        QCOMPARE(w->find<QLabel>("lblMUTL")->text(), QStringLiteral("1"));
        verifyWords("00008011", "000AC000");
        QVERIFY(w->messages.shown.empty());
    }

    void autoPicksTheFirstStepThatDivides_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("cspace");
        QTest::addColumn<QString>("pllr"); // the reference word names the step
        QTest::addColumn<QString>("plln");
        QTest::newRow("25 kHz") << "1590000" << 32 << "00008011"
                                << "000AC000";
        QTest::newRow("12.5 kHz") << "1590125" << 33 << "00010011"
                                  << "";
        QTest::newRow("10 kHz") << "1590100" << 34 << "00014011"
                                << "";
        QTest::newRow("5 kHz") << "1590050" << 36 << "00028011"
                               << "";
        QTest::newRow("2.5 kHz") << "1590025" << 37 << "00050011"
                                 << "006B8080";
    }
    void autoPicksTheFirstStepThatDivides() {
        QFETCH(QString, typed);
        QFETCH(int, cspace);
        QFETCH(QString, pllr);
        QFETCH(QString, plln);
        w->typeAndTab(freq, typed);
        QVERIFY(w->messages.shown.empty());
        QCOMPARE(w->image()[field::CSpace], cspace);
        QCOMPARE(frequencyFromImage(w->image()), typed.toInt());
        QCOMPARE(freq->text(), typed);
        QCOMPARE(w->find<QLabel>("lblPLLR")->text(), pllr);
        QCOMPARE(hex8(readDword(w->image(), field::PLLR)), pllr);
        if (!plln.isEmpty()) {
            verifyWords(pllr, plln);
        }
        QVERIFY(w->focused() != freq);
    }

    void autoRefusesAFrequencyOffTheSmallestStep() {
        w->typeAndTab(freq, "1590001");
        QCOMPARE(w->messages.texts(), QStringList{kSpacingError});
        QCOMPARE(w->messages.shown[0].kind, MessageKind::Exclamation);
        QCOMPARE(w->messages.shown[0].caption, QStringLiteral("PX520"));
        QCOMPARE(w->focused(), freq);
        QCOMPARE(freq->text(), QString());
        QCOMPARE(frequencyFromImage(w->image()), 1590000);
        QCOMPARE(w->image()[field::CSpace], 32);
        verifyWords("00008011", "000AC000");
    }

    void workedWordsOfEachBandAndStep_data() {
        QTest::addColumn<int>("bandItem");
        QTest::addColumn<int>("stepItem");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pllr");
        QTest::addColumn<QString>("plln");
        QTest::newRow("low 12.5 K") << 0 << 0 << "1590000"
                                    << "00010011"
                                    << "00158000";
        QTest::newRow("low 12.5 K off-grid") << 0 << 0 << "1500125"
                                             << "00010011"
                                             << "00141880";
        QTest::newRow("high 12.5 K") << 1 << 0 << "4620000"
                                     << "00020011"
                                     << "0044D800";
        QTest::newRow("high 6.25 K") << 1 << 2 << "4620000"
                                     << "00040011"
                                     << "0089B000";
    }
    void workedWordsOfEachBandAndStep() {
        QFETCH(int, bandItem);
        QFETCH(int, stepItem);
        QFETCH(QString, typed);
        QFETCH(QString, pllr);
        QFETCH(QString, plln);
        pick(*w, band, bandItem);
        pick(*w, step, stepItem);
        QCOMPARE(w->image()[field::CSpace], stepItem);
        w->typeAndTab(freq, typed);
        QVERIFY(w->messages.shown.empty());
        QCOMPARE(frequencyFromImage(w->image()), typed.toInt());
        QCOMPARE(w->find<QLabel>("lblMUTL")->text(), QString::number(bandItem + 1));
        verifyWords(pllr, plln);
    }

    void bandEnds_data() {
        QTest::addColumn<int>("bandItem");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("low lowest") << 0 << "1350000" << true;
        QTest::newRow("low highest") << 0 << "1740000" << true;
        QTest::newRow("below low") << 0 << "1349999" << false;
        QTest::newRow("above low") << 0 << "1740001" << false;
        QTest::newRow("high band in low") << 0 << "4620000" << false;
        QTest::newRow("high lowest") << 1 << "4000000" << true;
        QTest::newRow("high highest") << 1 << "4990000" << true;
        QTest::newRow("below high") << 1 << "3999999" << false;
        QTest::newRow("above high") << 1 << "4990001" << false;
    }
    void bandEnds() {
        QFETCH(int, bandItem);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        pick(*w, band, bandItem);
        const int before = frequencyFromImage(w->image());
        w->typeAndTab(freq, typed);
        if (accepted) {
            QVERIFY(w->messages.shown.empty());
            QCOMPARE(frequencyFromImage(w->image()), typed.toInt());
            return;
        }
        const QString expected =
            bandItem == 0
                ? QStringLiteral("Frequency setting error(1350000 < = Frequency < =1740000 )")
                : QStringLiteral("Frequency setting error(4000000 < = Frequency < =4990000 )");
        QCOMPARE(w->messages.texts(), QStringList{expected});
        QCOMPARE(w->messages.shown[0].kind, MessageKind::Plain);
        QCOMPARE(w->messages.shown[0].caption, Messages::applicationTitle());
        QCOMPARE(w->focused(), freq);
        QCOMPARE(freq->text(), QString());
        QCOMPARE(frequencyFromImage(w->image()), before);
    }

    void eachBandRemembersItsFrequency() {
        pick(*w, band, "400-499 MHz");
        QCOMPARE(freq->text(), QStringLiteral("4620000"));
        QCOMPARE(frequencyFromImage(w->image()), 4620000);
        QCOMPARE(w->find<QLabel>("lblMUTL")->text(), QStringLiteral("2"));
        QCOMPARE(itemsOf(step), (QStringList{"12.5 K", "10 K", "6.25 K", "5 K"}));
        QCOMPARE(step->currentText(), QStringLiteral("12.5 K"));
        QCOMPARE(w->image()[field::CSpace], 0);
        verifyWords("00020011", "0044D800");

        w->typeAndTab(freq, "4500000");
        pick(*w, band, "135-174 MHz");
        QCOMPARE(freq->text(), QStringLiteral("1590000"));
        QCOMPARE(frequencyFromImage(w->image()), 1590000);
        QCOMPARE(itemsOf(step), (QStringList{"12.5 K", "10 K", "Auto"}));
        QCOMPARE(w->find<QLabel>("lblMUTL")->text(), QStringLiteral("1"));
        verifyWords("00010011", "00158000");

        w->typeAndTab(freq, "1500125");
        pick(*w, band, "400-499 MHz");
        QCOMPARE(freq->text(), QStringLiteral("4500000"));
        pick(*w, band, "135-174 MHz");
        QCOMPARE(freq->text(), QStringLiteral("1500125"));
        QVERIFY(w->messages.shown.empty());
    }

    void spacingErrorKeepsTheFieldUntilAFittingFrequency() {
        w->typeAndTab(freq, "1590125");
        const std::uint32_t pllnBefore = readDword(w->image(), field::PLLN);
        pick(*w, step, "10 K");
        QCOMPARE(w->messages.texts(), QStringList{kSpacingError});
        QCOMPARE(w->image()[field::CSpace], 1);
        QCOMPARE(w->focused(), freq);
        QCOMPARE(freq->text(), QString());
        QCOMPARE(frequencyFromImage(w->image()), 1590125);
        QCOMPARE(readDword(w->image(), field::PLLN), pllnBefore);

        // Left empty, the stored frequency still does not fit: back without a word.
        w->key(freq, Qt::Key_Tab);
        QCOMPARE(w->messages.shown.size(), std::size_t{1});
        QCOMPARE(w->focused(), freq);
        QCOMPARE(freq->text(), QString());

        w->type(freq, "1590100");
        w->key(freq, Qt::Key_Tab);
        QCOMPARE(w->messages.shown.size(), std::size_t{1});
        QVERIFY(w->focused() != freq);
        QCOMPARE(frequencyFromImage(w->image()), 1590100);
        QCOMPARE(w->image()[field::CSpace], 1);
        verifyWords("00014011", hex8(readDword(w->image(), field::PLLN)));
        QVERIFY(readDword(w->image(), field::PLLN) != pllnBefore);
    }

    void leavingEmptyShowsTheStoredFrequency() {
        w->enter(freq);
        QCOMPARE(freq->text(), QString());
        w->key(freq, Qt::Key_Tab);
        QCOMPARE(freq->text(), QStringLiteral("1590000"));
        QVERIFY(w->messages.shown.empty());
        verifyWords("00008011", "000AC000");
    }

    void enterEndsTheEntry() {
        w->enter(freq);
        w->type(freq, "1590050");
        w->key(freq, Qt::Key_Return);
        QCOMPARE(w->focused(), w->find<QWidget>("edtNull"));
        QCOMPARE(frequencyFromImage(w->image()), 1590050);
        QCOMPARE(w->image()[field::CSpace], 36);
        QVERIFY(w->messages.shown.empty());
    }

    void lettersAreReportedAndNothingIsStored() {
        w->typeAndTab(freq, "159abc");
        QCOMPARE(w->messages.texts(), QStringList{"'159abc' is not a valid integer value."});
        QCOMPARE(w->messages.shown[0].kind, MessageKind::Stop);
        QCOMPARE(frequencyFromImage(w->image()), 1590000);
        verifyWords("00008011", "000AC000");
    }

    void storedStepCodeIsNormalisedByTheBand_data() {
        QTest::addColumn<int>("firstDigit");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("normalised");
        QTest::newRow("5 K in the low band") << 1 << 3 << "12.5 K" << 0;
        QTest::newRow("6.25 K in the low band") << 1 << 2 << "Auto" << 32;
        QTest::newRow("Auto 6250 rechecked") << 1 << 35 << "Auto" << 32;
        QTest::newRow("Auto in the high band") << 4 << 33 << "12.5 K" << 0;
        QTest::newRow("5 K in the high band") << 4 << 3 << "5 K" << 3;
    }
    void storedStepCodeIsNormalisedByTheBand() {
        QFETCH(int, firstDigit);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, normalised);
        w->image()[field::Freq] = static_cast<std::uint8_t>(firstDigit);
        w->image()[field::CSpace] = static_cast<std::uint8_t>(stored);
        w->window().showImage();
        WindowFixture::settle();
        QVERIFY(w->messages.shown.empty());
        QCOMPARE(step->currentText(), shown);
        QCOMPARE(w->image()[field::CSpace], normalised);
    }

    void refreshOfAFrequencyOffItsStepKeepsTheWords() {
        storeFrequency(w->image(), frequencyDigits(1590125));
        w->image()[field::CSpace] = 1; // 10 K
        const std::uint32_t pllr = readDword(w->image(), field::PLLR);
        const std::uint32_t plln = readDword(w->image(), field::PLLN);
        w->window().showImage();
        WindowFixture::settle();
        QCOMPARE(w->messages.texts(), QStringList{kSpacingError});
        QCOMPARE(w->focused(), freq);
        QCOMPARE(readDword(w->image(), field::PLLR), pllr);
        QCOMPARE(readDword(w->image(), field::PLLN), plln);
    }
};

PX520_GUI_TEST_MAIN(FrequencyEditorsTest)
#include "FrequencyEditorsTest.moc"
