// SPDX-License-Identifier: GPL-3.0-or-later
// The number texts of captions and prints, their patterns, and reading the leading number
// of hostile text.
#include <QTest>
#include <cmath>
#include <limits>

#include "numbertext.h"

namespace {

const double infinity = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();
const QString floatMax = "3402823" + QString(32, '0');
const QString doubleMax = "179769313486232" + QString(294, '0');

}  // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    // 's' a caption of a single, 'd' of a double, 'p' a single's print.
    void captionAndPrintText_data() {
        QTest::addColumn<char>("kind");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 's' << 3.0 << "3";
        QTest::newRow("seven digits") << 's' << double(2.346667f) << "2.346667";
        QTest::newRow("tiny") << 's' << double(1.2e-7f) << "0.00000012";
        QTest::newRow("large") << 's' << 1e20 << "100000000000000000000";
        QTest::newRow("largest single") << 's' << double(3.4028235e38f) << floatMax;
        QTest::newRow("smallest subnormal")
            << 's' << double(1e-45f) << "0." + QString(44, '0') + "1";
        QTest::newRow("single nan") << 's' << notANumber << "0";
        QTest::newRow("single infinity") << 's' << infinity << floatMax;
        QTest::newRow("root") << 'd' << std::sqrt(7.3125) << "2.70416345659799";
        QTest::newRow("largest double") << 'd' << std::numeric_limits<double>::max() << doubleMax;
        QTest::newRow("double nan") << 'd' << notANumber << "0";
        QTest::newRow("double infinity") << 'd' << infinity << doubleMax;
        QTest::newRow("minus infinity") << 'd' << -infinity << "-" + doubleMax;
        QTest::newRow("print positive") << 'p' << 3.0 << " 3 ";
        QTest::newRow("print negative") << 'p' << -3.0 << "-3 ";
        QTest::newRow("print negative zero") << 'p' << -0.0 << " 0 ";
        QTest::newRow("print nan") << 'p' << notANumber << " 0 ";
    }
    void captionAndPrintText() {
        QFETCH(char, kind);
        QFETCH(double, value);
        const std::string text = kind == 'd'   ? forms::doubleText(value)
                                 : kind == 's' ? forms::singleText(float(value))
                                               : forms::printText(float(value));
        QTEST(QString::fromStdString(text), "text");
    }

    void formatPattern_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("half up") << 0.125 << "0.##"
                                 << "0.13";
        QTest::newRow("as shown, not as stored") << 2.675 << "0.##"
                                                 << "2.68";
        QTest::newRow("carry into new digit") << 999.995 << "0.##"
                                              << "1000";
        QTest::newRow("negative to zero") << -0.0000027 << "0.##"
                                          << "0";
        QTest::newRow("negative half away") << -0.005 << "0.##"
                                            << "-0.01";
        QTest::newRow("fixed decimals") << 3.1 << "0.00"
                                        << "3.10";
        QTest::newRow("integer half") << 0.5 << "0"
                                      << "1";
        QTest::newRow("nan") << notANumber << "0.00"
                             << "0.00";
        QTest::newRow("infinity") << infinity << "0.##" << doubleMax;
        QTest::newRow("unknown pattern") << 2.5 << "#,##0"
                                         << "2.5";
    }
    void formatPattern() {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(forms::formatPattern(value, pattern.toStdString())), text);
    }

    void leadingNumber_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("digit then letters") << QByteArray("3abc") << 3.0;
        QTest::newRow("blanks, sign, exponent") << QByteArray("  -2.5e1x") << -25.0;
        QTest::newRow("sign only") << QByteArray("-") << 0.0;
        QTest::newRow("overflow") << QByteArray("1e999") << infinity;
        QTest::newRow("huge exponent") << QByteArray("1e99999999999999999999999") << infinity;
        QTest::newRow("embedded nul") << QByteArray(
                                             "6\0"
                                             "7",
                                             3)
                                      << 6.0;
        // Typed with a Chinese input method on (more in the range panel's table).
        QTest::newRow("full-width sign, point, e") << QByteArray("－２．５ｅ１") << -25.0;
        QTest::newRow("full-width E and plus") << QByteArray("＋1Ｅ2") << 100.0;
        QTest::newRow("full-width letter after") << QByteArray("５ｘ") << 5.0;
        QTest::newRow("full-width letter first") << QByteArray("ｘ5") << 0.0;
        QTest::newRow("cut full-width digit") << QByteArray("\xef\xbc") << 0.0;
        QTest::newRow("thousand digits") << "0." + QByteArray(1000, '1') << 1.0 / 9;
        QTest::newRow("rounds up on far digit")
            << "9007199254740993." + QByteArray(1000, '0') + "1" << 9007199254740994.0;
        QTest::newRow("megabyte of nines") << QByteArray(1 << 20, '9') << infinity;
    }
    void leadingNumber() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        const double actual = forms::leadingNumber(std::string_view(text.constData(), text.size()));
        QVERIFY2(actual == value, qPrintable(QString::number(actual, 'g', 17)));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
