// SPDX-License-Identifier: GPL-3.0-or-later
// The number text's properties over a fixed stream of random inputs: every bit pattern
// of singles and doubles, and random text.
#include <QRandomGenerator>
#include <QTest>
#include <vector>

#include "numbertext_checks.h"

class TestNumberTextProperties : public QObject {
    Q_OBJECT
private slots:
    void randomInputsKeepEveryProperty() {
        QRandomGenerator random(20261206);
        std::vector<std::uint8_t> input;
        for (int round = 0; round < 200000; ++round) {
            const int length = 1 + int(random.bounded(round % 4 == 3 ? 40 : 9));
            input.resize(size_t(length));
            for (auto& byte : input) {
                // Text inputs lean towards what numbers are made of.
                static constexpr char kNumberish[] = "0123456789.-+eEdD \t";
                byte = round % 4 == 3 && random.bounded(4) != 0
                           ? std::uint8_t(kNumberish[random.bounded(int(sizeof kNumberish) - 1)])
                           : std::uint8_t(random.bounded(256));
            }
            input[0] = std::uint8_t(round % 4 == 3 ? 2 : round % 2);
            const std::string failure = numberfuzz::check(input.data(), input.size());
            QVERIFY2(failure.empty(), failure.c_str());
        }
    }
};

QTEST_APPLESS_MAIN(TestNumberTextProperties)
#include "tst_numbertext_properties.moc"
