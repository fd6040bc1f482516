// The number texts: the display reader, the plain and regional texts, rounding to the cent.

#include "calculator/numbertext.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace calc;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void reader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<double>("expected");

        QTest::newRow("empty") << ""
                               << "," << 0.0;
        QTest::newRow("blank") << "   "
                               << "," << 0.0;
        QTest::newRow("keyed") << " 7"
                               << "," << 7.0;
        QTest::newRow("leading zeros") << " 007"
                                       << "," << 7.0;
        QTest::newRow("point fraction") << " .25"
                                        << "," << 0.25;
        QTest::newRow("lone point") << "."
                                    << "," << 0.0;
        QTest::newRow("point then digit") << ".5"
                                          << "," << 0.5;
        QTest::newRow("trailing point") << " 5."
                                        << "," << 5.0;
        QTest::newRow("negative") << "-3"
                                  << "," << -3.0;
        QTest::newRow("negative fraction") << "-.5"
                                           << "," << -0.5;
        QTest::newRow("plus sign") << "+4"
                                   << "," << 4.0;
        QTest::newRow("blanks inside") << " 1 2 . 5"
                                       << "," << 12.5;
        QTest::newRow("regional comma") << "12,5"
                                        << "," << 12.5;
        QTest::newRow("comma not a mark") << "12,5"
                                          << "." << 12.0;
        QTest::newRow("vat result") << "119,6 TTC"
                                    << "," << 119.6;
        QTest::newRow("vat prefix") << "TVA 19,6"
                                    << "," << 0.0;
        QTest::newRow("percentage expression") << "50 + 10 %"
                                               << "," << 50.0;
        QTest::newRow("regional expression") << "12,5 + 7,5 %"
                                             << "," << 12.5;
        QTest::newRow("second point stops") << "12.5.3"
                                            << "," << 12.5;
        QTest::newRow("point then comma") << "1.2,3"
                                          << "," << 1.2;
        QTest::newRow("exponent E") << " 1E+15"
                                    << "," << 1e15;
        QTest::newRow("exponent D") << "2D3"
                                    << "," << 2000.0;
        QTest::newRow("exponent lower") << "2e-2"
                                        << "," << 0.02;
        QTest::newRow("exponent without digits") << "3E"
                                                 << "," << 3.0;
        QTest::newRow("exponent sign only") << "3E+"
                                            << "," << 3.0;
        QTest::newRow("letters") << "abc"
                                 << "," << 0.0;
        QTest::newRow("sign alone") << "-"
                                    << "," << 0.0;
        QTest::newRow("NON marker") << "   NON   "
                                    << "," << 0.0;
        QTest::newRow("tiny underflows to zero") << "1E-400"
                                                 << "," << 0.0;
        QTest::newRow("long fraction underflow") << "0.000000000000000000001E-320"
                                                 << "," << 0.0;
        // Any white space a pasted or read-back text may carry counts as a blank.
        QTest::newRow("tab among blanks") << " \t1 \t2"
                                          << "," << 12.0;
        QTest::newRow("line ends") << "\r\n3\n4\r"
                                   << "," << 34.0;
        QTest::newRow("no-break space") << QStringLiteral("1\u00A0234,5") << "," << 1234.5;
        QTest::newRow("other letter after blank") << "12 \t x 3"
                                                  << "," << 12.0;
        QTest::newRow("exponent d lower") << "2d3"
                                          << "," << 2000.0;
        QTest::newRow("exponent with blanks") << "1 E + 2"
                                              << "," << 100.0;
        QTest::newRow("exponent minus after tab") << "5d\t-\t1"
                                                  << "," << 0.5;
        QTest::newRow("sign then blanks") << " + \t4 "
                                          << "," << 4.0;
        QTest::newRow("minus then blanks") << "-\t 2,5"
                                           << "," << -2.5;
        QTest::newRow("two signs") << "+-4"
                                   << "," << 0.0;
        QTest::newRow("plus then point") << "+.5"
                                         << "," << 0.5;
        QTest::newRow("negative underflow") << "-1E-400"
                                            << "," << 0.0;
        // Exponents at the ends of long long still tell overflow from underflow.
        QTest::newRow("exponent at long long minimum") << "0.01E-9223372036854775808"
                                                       << "," << 0.0;
        QTest::newRow("exponent beyond long long minimum") << "5E-99999999999999999999999"
                                                           << "," << 0.0;
        // The largest double as the program writes it (15 digits) reads back as that double.
        QTest::newRow("largest double written") << "1.79769313486232E+308"
                                                << "," << std::numeric_limits<double>::max();
        QTest::newRow("largest negative written") << "-1.79769313486232E+308"
                                                  << "," << -std::numeric_limits<double>::max();
    }
    void reader()
    {
        QFETCH(QString, text);
        QFETCH(QString, mark);
        QFETCH(double, expected);
        const double value = readDisplayNumber(text, mark.front());
        QCOMPARE(value, expected);
        QVERIFY(!std::signbit(value) || expected < 0);
    }

    void readerOverflowIsNotShowable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("huge exponent") << "1E400";
        QTest::newRow("negative huge") << "-9E999";
        QTest::newRow("exponent beyond long long") << "1E99999999999999999999999";
        QTest::newRow("four hundred digits") << QString(400, QLatin1Char('9'));
        QTest::newRow("exponent at long long maximum") << "1E9223372036854775807";
        QTest::newRow("just above the largest double") << "1.79769313486233E+308";
        QTest::newRow("negative just above the largest") << "-1.8E308";
        QTest::newRow("lower-case d exponent") << "1d400";
    }
    void readerOverflowIsNotShowable()
    {
        QFETCH(QString, text);
        QVERIFY(!isShowable(readDisplayNumber(text, QLatin1Char(','))));
    }

    void plainText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("seven") << 7.0 << " 7";
        QTest::newRow("zero") << 0.0 << " 0";
        QTest::newRow("negative zero") << -0.0 << " 0";
        QTest::newRow("minus three") << -3.0 << "-3";
        QTest::newRow("two and a half") << 2.5 << " 2.5";
        QTest::newRow("quarter") << 0.25 << " .25";
        QTest::newRow("minus half") << -0.5 << "-.5";
        QTest::newRow("third") << 1.0 / 3.0 << " .333333333333333";
        QTest::newRow("two thirds") << 2.0 / 3.0 << " .666666666666667";
        QTest::newRow("fifteen digits") << 123456789012345.0 << " 123456789012345";
        QTest::newRow("1E+15") << 1e15 << " 1E+15";
        QTest::newRow("large") << 123456789012345678.0 << " 1.23456789012346E+17";
        QTest::newRow("small") << 0.00001 << " 1E-05";
        QTest::newRow("small enough") << 0.0001 << " .0001";
        QTest::newRow("sum noise") << 0.1 + 0.2 << " .3";
        QTest::newRow("largest double")
            << std::numeric_limits<double>::max() << " 1.79769313486232E+308";
        QTest::newRow("smallest normal")
            << std::numeric_limits<double>::min() << " 2.2250738585072E-308";
    }
    void plainText()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(plainNumberText(value), expected);
        // The reader reads every plain text back to the number it shows.
        QCOMPARE(plainNumberText(readDisplayNumber(expected, QLatin1Char(','))), expected);
    }

    void regionalText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half") << 0.5 << ","
                              << "0,5";
        QTest::newRow("integral") << 55.0 << ","
                                  << "55";
        QTest::newRow("vat") << 119.6 << ","
                             << "119,6";
        QTest::newRow("hundred") << 100.0 << ","
                                 << "100";
        QTest::newRow("negative") << -119.6 << ","
                                  << "-119,6";
        QTest::newRow("negative zero") << -0.0 << ","
                                       << "0";
        QTest::newRow("point mark") << 12.5 << "."
                                    << "12.5";
        QTest::newRow("no thousands separator") << 1234567.25 << ","
                                                << "1234567,25";
        QTest::newRow("fifteen digits") << 2.0 / 3.0 << ","
                                        << "0,666666666666667";
        QTest::newRow("exponent") << 1e20 << ","
                                  << "1E+20";
    }
    void regionalText()
    {
        QFETCH(double, value);
        QFETCH(QString, mark);
        QFETCH(QString, expected);
        QCOMPARE(regionalNumberText(value, mark.front()), expected);
        QCOMPARE(readDisplayNumber(expected, mark.front()),
                 readDisplayNumber(QString(expected).replace(mark.front(), QLatin1Char('.')),
                                   QLatin1Char('.')));
    }

    void regionalTextOfEmpty()
    {
        QCOMPARE(regionalNumberText(std::optional<double>{}, QLatin1Char(',')), QString());
        QCOMPARE(regionalNumberText(std::optional<double>{2.5}, QLatin1Char(',')), "2,5");
    }

    void cents_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("0.125 to even") << 0.125 << 0.12;
        QTest::newRow("0.375 to even") << 0.375 << 0.38;
        QTest::newRow("0.625 to even") << 0.625 << 0.62;
        QTest::newRow("2.675 as written") << 2.675 << 2.68;
        QTest::newRow("2.665 as written") << 2.665 << 2.66;
        QTest::newRow("20.025") << 20.025 << 20.02;
        QTest::newRow("1.005") << 1.005 << 1.0;
        QTest::newRow("1.015") << 1.015 << 1.02;
        QTest::newRow("above half") << 0.12500001 << 0.13;
        QTest::newRow("below half") << 0.12499999 << 0.12;
        QTest::newRow("already cents") << 119.6 << 119.6;
        QTest::newRow("third") << 100.0 / 3.0 << 33.33;
        QTest::newRow("two thirds") << 200.0 / 3.0 << 66.67;
        QTest::newRow("83.6120401337793") << 100.0 / 1.196 << 83.61;
        QTest::newRow("negative tie") << -0.125 << -0.12;
        QTest::newRow("negative 2.675") << -2.675 << -2.68;
        QTest::newRow("tiny") << 0.004 << 0.0;
        QTest::newRow("half a cent") << 0.005 << 0.0;
        QTest::newRow("just over half a cent") << 0.0051 << 0.01;
        QTest::newRow("three quarters of a cent") << 0.0075 << 0.01;
        QTest::newRow("carry") << 9.995 << 10.0;
        QTest::newRow("carry to thousand") << 999.999 << 1000.0;
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("large untouched") << 1234567890123.456 << 1234567890123.456;
    }
    void cents()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        const double rounded = roundToCents(value);
        QCOMPARE(rounded, expected);
        QVERIFY(!std::signbit(rounded) || expected < 0);
    }

    void centsKeepsWhatCannotBeShown()
    {
        const double inf = std::numeric_limits<double>::infinity();
        QVERIFY(!isShowable(roundToCents(inf)));
        QVERIFY(!isShowable(roundToCents(std::nan(""))));
        QVERIFY(isShowable(1e308));
        QVERIFY(!isShowable(inf));
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
