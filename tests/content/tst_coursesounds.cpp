// The piano notes sound alike in everything but pitch: tuned to equal
// temperament (ЛЯ of the first octave 440 Hz) within 3 cents, equally loud
// within 1 dB, equally long, ending in the same 300 ms of silence.
#include "wavreader.h"

#include <QTest>
#include <cmath>
#include <complex>
#include <numbers>

using namespace nk;

namespace {

constexpr int kRate = 44100;
constexpr size_t kPaddedSize = size_t(1) << 19; // 0.084 Hz per bin

QString notePath(int octave, int pitch)
{
    static const char *const files[] = {"00do",       "01do-diez", "02re",      "03re-diez",
                                        "04mi",       "05fa",      "06fa-diez", "07sol",
                                        "08sol-diez", "09la",      "10la-diez", "11si"};
    static const char *const folders[] = {"little", "first", "second"};
    return qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/sound/piano/") +
           QString::fromLatin1(folders[octave - 4]) + QLatin1Char('/') +
           QString::fromLatin1(files[pitch]) + QStringLiteral(".wav");
}

double equalTemperament(int octave, int pitch)
{
    return 440.0 * std::pow(2.0, ((octave - 5) * 12 + pitch - 9) / 12.0);
}

void transform(std::vector<std::complex<double>> &x)
{
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (size_t half = 1; half < n; half <<= 1) {
        for (size_t k = 0; k < half; ++k) {
            const std::complex<double> w =
                std::polar(1.0, -std::numbers::pi * double(k) / double(half));
            for (size_t i = k; i < n; i += 2 * half) {
                const std::complex<double> t = w * x[i + half];
                x[i + half] = x[i] - t;
                x[i] += t;
            }
        }
    }
}

// The fundamental's peak in a Hann-windowed, zero-padded spectrum of the
// sustained part, refined by a parabola through the log magnitudes.
double fundamental(const std::vector<float> &samples, double nominal)
{
    const size_t start = kRate / 10;
    const size_t length = std::min<size_t>(kRate * 8 / 10, samples.size() - start);
    std::vector<std::complex<double>> x(kPaddedSize);
    for (size_t i = 0; i < length; ++i)
        x[i] = samples[start + i] *
               std::pow(std::sin(std::numbers::pi * double(i) / double(length)), 2);
    transform(x);
    const double bin = double(kRate) / double(kPaddedSize);
    size_t best = 0;
    for (size_t k = size_t(nominal * 0.96 / bin); k <= size_t(nominal * 1.04 / bin); ++k)
        if (best == 0 || std::abs(x[k]) > std::abs(x[best]))
            best = k;
    const double l = std::log(std::abs(x[best - 1])), c = std::log(std::abs(x[best])),
                 r = std::log(std::abs(x[best + 1]));
    return (double(best) + 0.5 * (l - r) / (l - 2 * c + r)) * bin;
}

double cents(double measured, double expected)
{
    return 1200.0 * std::log2(measured / expected);
}

double levelDb(const std::vector<float> &samples)
{
    double sum = 0;
    for (const float s : samples)
        sum += double(s) * s;
    return 10.0 * std::log10(sum / double(samples.size()));
}

void addNoteRows()
{
    QTest::addColumn<int>("octave");
    QTest::addColumn<int>("pitch");
    for (int octave = 4; octave <= 6; ++octave)
        for (int pitch = 0; pitch < 12; ++pitch)
            QTest::addRow("octave %d pitch %d", octave, pitch) << octave << pitch;
}

} // namespace

class TestCourseSounds : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void meterFindsTheFundamental_data();
    void meterFindsTheFundamental();
    void pitch_data() { addNoteRows(); }
    void pitch();
    void loudnessAndLength();
};

void TestCourseSounds::meterFindsTheFundamental_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("stretch"); // inharmonicity of the partials
    QTest::newRow("small ДО, pure") << 130.8128 << 0.0;
    QTest::newRow("first ЛЯ, 2.5 cents sharp") << 440.0 * std::pow(2.0, 2.5 / 1200) << 0.0;
    QTest::newRow("first ЛЯ, piano-like partials") << 440.0 << 4e-4;
    QTest::newRow("second СИ, piano-like partials") << 987.7666 << 1e-3;
}

// A tone whose upper partials run sharp, as a piano's do: the meter must
// report the fundamental and not be pulled up by them.
void TestCourseSounds::meterFindsTheFundamental()
{
    QFETCH(double, frequency);
    QFETCH(double, stretch);
    std::vector<float> tone(kRate);
    for (size_t i = 0; i < tone.size(); ++i)
        for (int k = 1; k <= 6; ++k) {
            const double f = k * frequency * std::sqrt(1.0 + stretch * k * k);
            tone[i] += float(std::sin(2 * std::numbers::pi * f * double(i) / kRate) / (k + 1));
        }
    const double expected = frequency * std::sqrt(1.0 + stretch);
    QVERIFY2(std::fabs(cents(fundamental(tone, frequency), expected)) < 0.1,
             qPrintable(QString::number(cents(fundamental(tone, frequency), expected))));
}

void TestCourseSounds::pitch()
{
    QFETCH(int, octave);
    QFETCH(int, pitch);
    const WavReader wav(notePath(octave, pitch));
    QVERIFY(wav.isValid() && !wav.mono().empty());
    const double expected = equalTemperament(octave, pitch);
    const double error = cents(fundamental(wav.mono(), expected), expected);
    QVERIFY2(std::fabs(error) <= 3.0,
             qPrintable(QString::number(error, 'f', 2) + QStringLiteral(" cents")));
}

void TestCourseSounds::loudnessAndLength()
{
    double loudest = -1000, quietest = 1000;
    size_t length = 0;
    for (int octave = 4; octave <= 6; ++octave)
        for (int pitch = 0; pitch < 12; ++pitch) {
            const WavReader wav(notePath(octave, pitch));
            const std::vector<float> &s = wav.mono();
            QVERIFY(s.size() > size_t(kRate));
            if (length == 0)
                length = s.size();
            QCOMPARE(s.size(), length);
            const double db = levelDb(s);
            loudest = std::max(loudest, db);
            quietest = std::min(quietest, db);
            for (size_t i = s.size() - kRate * 3 / 10; i < s.size(); ++i)
                QCOMPARE(s[i], 0.0f);
        }
    QVERIFY2(loudest - quietest <= 1.0,
             qPrintable(QString::number(loudest - quietest) + QStringLiteral(" dB")));
}

QTEST_GUILESS_MAIN(TestCourseSounds)
#include "tst_coursesounds.moc"
