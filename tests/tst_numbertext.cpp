// SPDX-License-Identifier: GPL-3.0-or-later
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>

#include "numbertext.h"

namespace {

const double infinity = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();
const QString floatMax = "3402823" + QString(32, '0');
const QString doubleMax = "179769313486232" + QString(294, '0');

template <typename T>
T parse(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    T value{};
    std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    return value;
}

// Values spread over 1e-30..1e30 of both signs, the same on every run. Every second one is
// cut to a few digits, as typed values are, so that short forms are exercised as well.
QList<double> spreadValues() {
    std::mt19937_64 random(20240611);
    QList<double> values;
    for (int i = 0; i < 300; ++i) {
        const double mantissa = 1.0 + static_cast<double>(random() >> 11) * 0x1p-53;
        const double exponent = static_cast<double>(random() % 61) - 30.0;
        const double value = (random() % 2 ? -1.0 : 1.0) * mantissa * std::pow(10.0, exponent);
        values << (i % 2 ? parse<double>(QString::number(value, 'e', i / 2 % 15)) : value);
    }
    return values;
}

qsizetype significantDigits(QString text) {
    text.remove('-').remove('.');
    while (text.startsWith('0')) text.remove(0, 1);
    while (text.endsWith('0')) text.chop(1);
    return text.size();
}

// The text is a plain decimal that reads back as the value when some form with maxDigits
// digits does, and then no shorter rounding does; otherwise it is the value rounded to
// maxDigits digits.
template <typename T>
void checkShortest(T value, const QString& text, int maxDigits) {
    static const QRegularExpression plain("^-?(0|[1-9][0-9]*)(\\.[0-9]*[1-9])?$");
    QVERIFY2(plain.match(text).hasMatch(), qPrintable(text));
    const qsizetype digits = significantDigits(text);
    QVERIFY2(digits <= maxDigits, qPrintable(text));
    const QString rounded = QString::number(double(value), 'e', maxDigits - 1);
    if (parse<T>(rounded) != value) {
        QCOMPARE(parse<double>(text), parse<double>(rounded));
        return;
    }
    QCOMPARE(parse<T>(text), value);
    if (digits > 1) {
        const QString shorter = QString::number(double(value), 'e', int(digits) - 2);
        QVERIFY2(parse<T>(shorter) != value, qPrintable(text + " is not the shortest"));
    }
}

}  // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void singleText_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("quarter") << 0.25f << "0.25";
        QTest::newRow("whole") << 3.0f << "3";
        QTest::newRow("negative whole") << -3.0f << "-3";
        QTest::newRow("negative half") << -0.5f << "-0.5";
        QTest::newRow("seven digits") << 2.346667f << "2.346667";
        QTest::newRow("mixed") << 12.75f << "12.75";
        QTest::newRow("negative mixed") << -1.25f << "-1.25";
        QTest::newRow("near three") << 2.999f << "2.999";
        QTest::newRow("third") << 1.0f / 3 << "0.3333333";
        QTest::newRow("needs eight digits") << 16777216.0f << "16777220";
        QTest::newRow("tiny") << 1.2e-7f << "0.00000012";
        QTest::newRow("large") << 1e20f << "100000000000000000000";
        QTest::newRow("round hundred") << 100.0f << "100";
        QTest::newRow("largest") << 3.4028235e38f << floatMax;
        QTest::newRow("smallest subnormal") << 1e-45f << "0." + QString(44, '0') + "1";
        QTest::newRow("negative zero") << -0.0f << "0";
        QTest::newRow("nan") << float(notANumber) << "0";
        QTest::newRow("infinity") << float(infinity) << floatMax;
        QTest::newRow("minus infinity") << float(-infinity) << "-" + floatMax;
    }
    void singleText() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(forms::singleText(value)), text);
    }

    void doubleText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("root") << std::sqrt(7.3125) << "2.70416345659799";
        QTest::newRow("whole") << 5.0 << "5";
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("sum that misses") << 0.1 + 0.2 << "0.3";
        QTest::newRow("third") << 1.0 / 3 << "0.333333333333333";
        QTest::newRow("carry to new digit") << 9.9999999999999999e22 << "1" + QString(23, '0');
        QTest::newRow("rounded whole") << 123456789012345678.0 << "123456789012346000";
        QTest::newRow("very small") << 1e-300 << "0." + QString(299, '0') + "1";
        QTest::newRow("largest") << std::numeric_limits<double>::max() << doubleMax;
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("nan") << notANumber << "0";
        QTest::newRow("infinity") << infinity << doubleMax;
        QTest::newRow("minus infinity") << -infinity << "-" + doubleMax;
    }
    void doubleText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(forms::doubleText(value)), text);
    }

    void shortestRoundTrip_data() {
        QTest::addColumn<double>("value");
        const QList<double> values = spreadValues();
        for (qsizetype i = 0; i < values.size(); ++i)
            QTest::addRow("%lld", qlonglong(i)) << values[i];
    }
    void shortestRoundTrip() {
        QFETCH(double, value);
        const float single = static_cast<float>(value);
        checkShortest(single, QString::fromStdString(forms::singleText(single)), 7);
        if (QTest::currentTestFailed()) return;
        checkShortest(value, QString::fromStdString(forms::doubleText(value)), 15);
    }

    void printText_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("positive") << 3.0f << " 3 ";
        QTest::newRow("zero") << 0.0f << " 0 ";
        QTest::newRow("negative zero") << -0.0f << " 0 ";
        QTest::newRow("negative") << -1.0f << "-1 ";
        QTest::newRow("fraction") << 0.25f << " 0.25 ";
        QTest::newRow("nan") << float(notANumber) << " 0 ";
    }
    void printText() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(forms::printText(value)), text);
    }

    void formatPattern_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("half up") << 0.125 << "0.##"
                                 << "0.13";
        QTest::newRow("as shown, not as stored") << 2.675 << "0.##"
                                                 << "2.68";
        QTest::newRow("whole drops point") << 45.000038 << "0.##"
                                           << "45";
        QTest::newRow("two decimals") << 87.137668 << "0.##"
                                      << "87.14";
        QTest::newRow("carry into whole") << 134.99996 << "0.##"
                                          << "135";
        QTest::newRow("carry into new digit") << 999.995 << "0.##"
                                              << "1000";
        QTest::newRow("negative whole") << -1.0000053 << "0.##"
                                        << "-1";
        QTest::newRow("negative to zero") << -0.0000027 << "0.##"
                                          << "0";
        QTest::newRow("negative below half") << -0.004 << "0.##"
                                             << "0";
        QTest::newRow("negative half away") << -0.005 << "0.##"
                                            << "-0.01";
        QTest::newRow("one decimal") << 0.5 << "0.##"
                                     << "0.5";
        QTest::newRow("large") << 1e20 << "0.##"
                               << "100000000000000000000";
        QTest::newRow("fixed decimals") << 3.1 << "0.00"
                                        << "3.10";
        QTest::newRow("fixed zero") << -0.001 << "0.00"
                                    << "0.00";
        QTest::newRow("mixed decimals") << 2.0 << "0.0#"
                                        << "2.0";
        QTest::newRow("integer half") << 0.5 << "0"
                                      << "1";
        QTest::newRow("integer negative half") << -9.5 << "0"
                                               << "-10";
        QTest::newRow("integer below half") << 0.49 << "0"
                                            << "0";
        QTest::newRow("leading zeros") << 5.0 << "000"
                                       << "005";
        QTest::newRow("nan") << notANumber << "0.00"
                             << "0.00";
        QTest::newRow("infinity") << infinity << "0.##" << doubleMax;
        QTest::newRow("minus infinity") << -infinity << "0"
                                        << "-" + doubleMax;
        QTest::newRow("unknown pattern") << 2.5 << "#,##0"
                                         << "2.5";
        QTest::newRow("empty pattern") << -0.25 << ""
                                       << "-0.25";
    }
    void formatPattern() {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(forms::formatPattern(value, pattern.toStdString())), text);
    }

    void formatPatternStaysClose_data() {
        QTest::addColumn<double>("value");
        for (double v : spreadValues()) {
            if (std::fabs(v) < 1e6) QTest::addRow("%.17g", v) << v;
        }
    }
    void formatPatternStaysClose() {
        QFETCH(double, value);
        const QString text = QString::fromStdString(forms::formatPattern(value, "0.00"));
        QVERIFY2(QRegularExpression("^-?[0-9]+\\.[0-9]{2}$").match(text).hasMatch(),
                 qPrintable(text));
        QVERIFY2(std::fabs(parse<double>(text) - value) <= 0.005 * (1 + 1e-9), qPrintable(text));
    }

    void leadingNumber_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("digit then letters") << QByteArray("3abc") << 3.0;
        QTest::newRow("letters") << QByteArray("abc") << 0.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("blanks only") << QByteArray(" \t ") << 0.0;
        QTest::newRow("blanks, sign, exponent") << QByteArray("  -2.5e1x") << -25.0;
        QTest::newRow("tab and plus") << QByteArray("\t+7") << 7.0;
        QTest::newRow("no integer part") << QByteArray(".5") << 0.5;
        QTest::newRow("negative no integer") << QByteArray("-.5") << -0.5;
        QTest::newRow("trailing point") << QByteArray("4.") << 4.0;
        QTest::newRow("point only") << QByteArray(".") << 0.0;
        QTest::newRow("sign only") << QByteArray("-") << 0.0;
        QTest::newRow("sign then blank") << QByteArray("- 5") << 0.0;
        QTest::newRow("exponent without digits") << QByteArray("1e") << 1.0;
        QTest::newRow("exponent sign without digits") << QByteArray("1e+") << 1.0;
        QTest::newRow("d exponent") << QByteArray("1d2") << 100.0;
        QTest::newRow("negative D exponent") << QByteArray("1D-1") << 0.1;
        QTest::newRow("second point") << QByteArray("12.5.3") << 12.5;
        QTest::newRow("inf") << QByteArray("inf") << 0.0;
        QTest::newRow("nan") << QByteArray("nan") << 0.0;
        QTest::newRow("hex") << QByteArray("0x10") << 0.0;
        QTest::newRow("overflow") << QByteArray("1e999") << infinity;
        QTest::newRow("negative overflow") << QByteArray("-1e999") << -infinity;
        QTest::newRow("underflow") << QByteArray("1e-999") << 0.0;
        QTest::newRow("huge exponent") << QByteArray("1e99999999999999999999999") << infinity;
        QTest::newRow("control character") << QByteArray("\x01 5") << 0.0;
        QTest::newRow("embedded nul") << QByteArray(
                                             "6\0"
                                             "7",
                                             3)
                                      << 6.0;
        QTest::newRow("non-ASCII first") << QByteArray(
                                                "\xc3\xa9"
                                                "5")
                                         << 0.0;
        QTest::newRow("non-ASCII after") << QByteArray("5\xc3\xa9") << 5.0;
        QTest::newRow("thousand digits") << "0." + QByteArray(1000, '1') << 1.0 / 9;
        QTest::newRow("rounds up on far digit")
            << "9007199254740993." + QByteArray(1000, '0') + "1" << 9007199254740994.0;
        const QByteArray megabyte(1 << 20, '0');
        QTest::newRow("megabyte of nines") << QByteArray(1 << 20, '9') << infinity;
        QTest::newRow("megabyte negative") << "-1" + megabyte << -infinity;
        QTest::newRow("megabyte leading zeros") << megabyte + "5" << 5.0;
        QTest::newRow("megabyte scaled down") << "1" + megabyte + "e-1048576" << 1.0;
        QTest::newRow("megabyte scaled up") << "0." + megabyte + "1e1048576" << 0.1;
        QTest::newRow("megabyte underflow") << "0." + megabyte + "1" << 0.0;
    }
    void leadingNumber() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QElapsedTimer timer;
        timer.start();
        const double actual = forms::leadingNumber(std::string_view(text.constData(), text.size()));
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY2(actual == value, qPrintable(QString::number(actual, 'g', 17)));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
