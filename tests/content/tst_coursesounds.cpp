// Every timbre's notes sound alike in everything but pitch and timbre: five
// octaves of them, tuned to equal temperament (ЛЯ of the first octave 440 Hz)
// within 1 cent over the early window and over the whole file, equally loud
// (EBU R128) within half a loudness unit of one target, peaking below -1 dBFS,
// equally long and ending in the same 300 ms of silence; the chords likewise.
#include "course/inifile.h"
#include "wavreader.h"

#include <QDir>
#include <QTest>
#include <cmath>
#include <complex>
#include <ebur128.h>
#include <numbers>
#include <utility>

using namespace nk;

namespace {

constexpr int kRate = 44100;
constexpr double kPitchLimitCents = 1.0;
constexpr double kLoudnessSpreadLu = 1.0; // all within +-0.5 LU of one target
constexpr double kPeakLimit = 0.891;      // -1 dBFS

const QStringList &timbres()
{
    static const QStringList list = {QStringLiteral("piano"),   QStringLiteral("guitar"),
                                     QStringLiteral("strings"), QStringLiteral("clarinet"),
                                     QStringLiteral("flute"),   QStringLiteral("vibraphone"),
                                     QStringLiteral("organ"),   QStringLiteral("choir")};
    return list;
}

// Octave 3 ("great", below the keyboard) to 7 ("third", above it).
QString notePath(const QString &timbre, int octave, int pitch)
{
    static const char *const files[] = {"00do",       "01do-diez", "02re",      "03re-diez",
                                        "04mi",       "05fa",      "06fa-diez", "07sol",
                                        "08sol-diez", "09la",      "10la-diez", "11si"};
    static const char *const folders[] = {"great", "little", "first", "second", "third"};
    return qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/sound/") + timbre +
           QLatin1Char('/') + QString::fromLatin1(folders[octave - 3]) + QLatin1Char('/') +
           QString::fromLatin1(files[pitch]) + QStringLiteral(".wav");
}

// The chord files the levels name, inside the timbre folder.
QStringList chordPaths(const QString &timbre)
{
    QStringList paths;
    const QString base = qEnvironmentVariable("NK_PROGRAM_DIR");
    const QDir levels(base + QStringLiteral("/levels"));
    for (const QString &level : levels.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const IniFile file(levels.filePath(level + QStringLiteral("/chords.dat")));
        for (const QString &colour : {QStringLiteral("black"), QStringLiteral("white")})
            for (const QString &key : file.keys(colour))
                if (key.startsWith(QLatin1Char('p')))
                    paths.append(base + QStringLiteral("/sound/") + timbre + QLatin1Char('/') +
                                 file.readString(colour, key, {})
                                     .mid(6)
                                     .replace(QLatin1Char('\\'), QLatin1Char('/')));
    }
    return paths;
}

double equalTemperament(int octave, int pitch)
{
    return 440.0 * std::pow(2.0, ((octave - 5) * 12 + pitch - 9) / 12.0);
}

// In place, radix 2; the products are written out, as std::complex's own
// multiplication checks for infinities at every step and is several times slower.
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
    std::vector<std::complex<double>> twiddle(n / 2);
    for (size_t k = 0; k < n / 2; ++k)
        twiddle[k] = std::polar(1.0, -2.0 * std::numbers::pi * double(k) / double(n));
    for (size_t half = 1; half < n; half <<= 1) {
        const size_t stride = n / (2 * half);
        for (size_t i = 0; i < n; i += 2 * half)
            for (size_t k = 0; k < half; ++k) {
                const std::complex<double> w = twiddle[k * stride];
                const std::complex<double> b = x[i + k + half];
                const std::complex<double> t(w.real() * b.real() - w.imag() * b.imag(),
                                             w.real() * b.imag() + w.imag() * b.real());
                x[i + k + half] = x[i + k] - t;
                x[i + k] += t;
            }
    }
}

// |X[k]| for k in [from, to] of the DFT of a real sequence of even length,
// through a complex transform of half the length (even samples as the real
// part, odd ones as the imaginary part).
std::vector<double> magnitudes(const std::vector<double> &real, size_t from, size_t to)
{
    const size_t half = real.size() / 2;
    std::vector<std::complex<double>> z(half);
    for (size_t i = 0; i < half; ++i)
        z[i] = {real[2 * i], real[2 * i + 1]};
    transform(z);
    std::vector<double> out;
    for (size_t k = from; k <= to; ++k) {
        const std::complex<double> a = z[k % half], b = std::conj(z[(half - k % half) % half]);
        const std::complex<double> w =
            std::polar(1.0, -std::numbers::pi * double(k) / double(half));
        out.push_back(std::abs(0.5 * (a + b) - 0.5 * std::complex<double>(0, 1) * w * (a - b)));
    }
    return out;
}

// |X(f)| of the windowed samples at one frequency, summed directly (products
// written out: std::complex's own checks for infinities at every step).
double magnitudeAt(const std::vector<double> &x, double hz)
{
    const double w = -2 * std::numbers::pi * hz / kRate;
    const double c = std::cos(w), s = std::sin(w);
    double re = 1.0, im = 0.0, sumRe = 0.0, sumIm = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        sumRe += x[i] * re;
        sumIm += x[i] * im;
        const double next = re * c - im * s;
        im = re * s + im * c;
        re = next;
        if (i % 1024 == 1023) { // keep the rotation on the unit circle
            const double norm = std::hypot(re, im);
            re /= norm, im /= norm;
        }
    }
    return std::hypot(sumRe, sumIm);
}

// The top of the peak around a bin: a parabola through the log magnitudes at
// the best of kFineSteps points either side, a quarter of a bin apart.
std::pair<double, double> refinedPeak(const std::vector<double> &x, double hz, double bin)
{
    constexpr int kFineSteps = 4;
    const double step = bin / kFineSteps;
    std::vector<double> m;
    for (int k = -kFineSteps; k <= kFineSteps; ++k)
        m.push_back(magnitudeAt(x, hz + k * step));
    size_t best = 1;
    for (size_t k = 1; k + 1 < m.size(); ++k)
        if (m[k] > m[best])
            best = k;
    const double l = std::log(m[best - 1]), c = std::log(m[best]), r = std::log(m[best + 1]);
    const double offset = 0.5 * (l - r) / (l - 2 * c + r);
    return {c - 0.25 * (l - r) * offset, hz + (double(best) - kFineSteps + offset) * step};
}

// The fundamental: the highest peak within 4 % of the nominal frequency in the
// Hann-windowed spectrum of `length` samples from `start`. A spectrum
// zero-padded 1.5-fold finds the peaks; those within 1 dB of the highest (an
// ensemble's spectrum has several) are each measured to their tops.
double fundamental(const std::vector<float> &samples, double nominal, size_t start, size_t length)
{
    length = std::min(length, samples.size() - start);
    size_t padded = 2;
    while (2 * padded < 3 * length)
        padded <<= 1;
    std::vector<double> x(padded);
    for (size_t i = 0; i < length; ++i)
        x[i] = samples[start + i] *
               (0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(length - 1)));
    const double bin = double(kRate) / double(padded);
    const size_t from = size_t(nominal * 0.96 / bin), to = size_t(nominal * 1.04 / bin);
    const std::vector<double> m = magnitudes(x, from - 1, to + 1);
    const double highest = *std::max_element(m.begin() + 1, m.end() - 1);
    x.resize(length);
    std::pair<double, double> best{-HUGE_VAL, 0.0}; // log magnitude, Hz
    for (size_t k = 1; k + 1 < m.size(); ++k)
        if (m[k] >= m[k - 1] && m[k] > m[k + 1] && m[k] > highest * std::pow(10.0, -1.0 / 20))
            best = std::max(best, refinedPeak(x, double(from - 1 + k) * bin, bin));
    return best.second;
}

double earlyFundamental(const std::vector<float> &samples, double nominal)
{
    return fundamental(samples, nominal, size_t(0.15 * kRate), size_t(0.5 * kRate));
}

double wholeFundamental(const std::vector<float> &samples, double nominal)
{
    return fundamental(samples, nominal, 0, samples.size());
}

double cents(double measured, double expected)
{
    return 1200.0 * std::log2(measured / expected);
}

double loudness(const std::vector<float> &samples)
{
    ebur128_state *state = ebur128_init(1, kRate, EBUR128_MODE_I);
    ebur128_add_frames_float(state, samples.data(), samples.size());
    double lufs = -HUGE_VAL;
    ebur128_loudness_global(state, &lufs);
    ebur128_destroy(&state);
    return lufs;
}

double peak(const std::vector<float> &samples)
{
    double p = 0;
    for (const float s : samples)
        p = std::max(p, double(std::fabs(s)));
    return p;
}

struct Range
{
    double low = HUGE_VAL, high = -HUGE_VAL;
    void add(double v) { low = std::min(low, v), high = std::max(high, v); }
    double spread() const { return high - low; }
};

} // namespace

class TestCourseSounds : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void meterFindsTheFundamental_data();
    void meterFindsTheFundamental();
    void filesOfEveryTimbre_data();
    void filesOfEveryTimbre();
    void pitch_data();
    void pitch();
    void loudnessAndPeaks();
};

void TestCourseSounds::meterFindsTheFundamental_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("stretch"); // inharmonicity of the partials
    QTest::newRow("great ДО, pure") << 65.4064 << 0.0;
    QTest::newRow("great ДО, 0.7 cents flat") << 65.4064 * std::pow(2.0, -0.7 / 1200) << 0.0;
    QTest::newRow("small ДО, pure") << 130.8128 << 0.0;
    QTest::newRow("first ЛЯ, 2.5 cents sharp") << 440.0 * std::pow(2.0, 2.5 / 1200) << 0.0;
    QTest::newRow("first ЛЯ, piano-like partials") << 440.0 << 4e-4;
    QTest::newRow("second СИ, piano-like partials") << 987.7666 << 1e-3;
    QTest::newRow("third СИ, 0.4 cents sharp") << 1975.533 * std::pow(2.0, 0.4 / 1200) << 0.0;
}

// A decaying tone whose upper partials run sharp, as a piano's do, shaped like
// a course file: the meter must report the fundamental over both windows and
// not be pulled up by the partials.
void TestCourseSounds::meterFindsTheFundamental()
{
    QFETCH(double, frequency);
    QFETCH(double, stretch);
    std::vector<float> tone(size_t(kRate * 1.8));
    for (size_t i = 0; i < size_t(kRate * 1.5); ++i) {
        const double t = double(i) / kRate;
        for (int k = 1; k <= 6; ++k) {
            const double f = k * frequency * std::sqrt(1.0 + stretch * k * k);
            if (f < kRate / 2)
                tone[i] +=
                    float(std::exp(-2 * t) * std::sin(2 * std::numbers::pi * f * t + k) / (k + 1));
        }
    }
    const double expected = frequency * std::sqrt(1.0 + stretch);
    const double early = cents(earlyFundamental(tone, frequency), expected);
    const double whole = cents(wholeFundamental(tone, frequency), expected);
    QVERIFY2(std::fabs(early) < 0.1, qPrintable(QString::number(early)));
    QVERIFY2(std::fabs(whole) < 0.1, qPrintable(QString::number(whole)));
}

void TestCourseSounds::filesOfEveryTimbre_data()
{
    QTest::addColumn<QString>("timbre");
    for (const QString &timbre : timbres())
        QTest::newRow(qPrintable(timbre)) << timbre;
}

// 60 notes and every chord, as 16-bit mono files of one length ending in silence.
void TestCourseSounds::filesOfEveryTimbre()
{
    QFETCH(QString, timbre);
    QStringList paths;
    for (int octave = 3; octave <= 7; ++octave)
        for (int pitch = 0; pitch < 12; ++pitch)
            paths.append(notePath(timbre, octave, pitch));
    const QStringList chords = chordPaths(timbre);
    QVERIFY(chords.size() >= 6);
    static size_t length = 0; // of every timbre's files
    for (const QString &path : paths + chords) {
        const WavReader wav(path);
        QVERIFY2(wav.isValid(), qPrintable(path));
        QCOMPARE(wav.channels(), 1);
        QCOMPARE(wav.sampleRate(), kRate);
        QCOMPARE(wav.bitsPerSample(), 16);
        const std::vector<float> &s = wav.mono();
        if (length == 0)
            length = s.size();
        QCOMPARE(s.size(), length);
        QVERIFY(s.size() > size_t(kRate));
        for (size_t i = s.size() - kRate * 3 / 10; i < s.size(); ++i)
            QCOMPARE(s[i], 0.0f);
    }
}

void TestCourseSounds::pitch_data()
{
    QTest::addColumn<QString>("timbre");
    QTest::addColumn<int>("octave");
    QTest::addColumn<int>("pitch");
    for (const QString &timbre : timbres())
        for (int octave = 3; octave <= 7; ++octave)
            for (int pitch = 0; pitch < 12; ++pitch)
                QTest::addRow("%s octave %d pitch %d", qPrintable(timbre), octave, pitch)
                    << timbre << octave << pitch;
}

void TestCourseSounds::pitch()
{
    QFETCH(QString, timbre);
    QFETCH(int, octave);
    QFETCH(int, pitch);
    const WavReader wav(notePath(timbre, octave, pitch));
    QVERIFY(wav.isValid() && !wav.mono().empty());
    const double expected = equalTemperament(octave, pitch);
    const double early = cents(earlyFundamental(wav.mono(), expected), expected);
    const double whole = cents(wholeFundamental(wav.mono(), expected), expected);
    QVERIFY2(std::fabs(early) <= kPitchLimitCents && std::fabs(whole) <= kPitchLimitCents,
             qPrintable(QStringLiteral("%1 cents over 0.15-0.65 s, %2 cents over the whole note")
                            .arg(early, 0, 'f', 2)
                            .arg(whole, 0, 'f', 2)));
}

// One target for the notes of every timbre, one for the chords, at most about
// -20 LUFS; no file reaches -1 dBFS.
void TestCourseSounds::loudnessAndPeaks()
{
    Range notes, chords;
    for (const QString &timbre : timbres()) {
        QStringList paths;
        for (int octave = 3; octave <= 7; ++octave)
            for (int pitch = 0; pitch < 12; ++pitch)
                paths.append(notePath(timbre, octave, pitch));
        for (const QString &path : paths + chordPaths(timbre)) {
            const WavReader wav(path);
            QVERIFY2(!wav.mono().empty(), qPrintable(path));
            (paths.contains(path) ? notes : chords).add(loudness(wav.mono()));
            QVERIFY2(peak(wav.mono()) < kPeakLimit, qPrintable(path));
        }
    }
    QVERIFY2(notes.spread() <= kLoudnessSpreadLu,
             qPrintable(QStringLiteral("notes %1 to %2 LUFS").arg(notes.low).arg(notes.high)));
    QVERIFY2(chords.spread() <= kLoudnessSpreadLu,
             qPrintable(QStringLiteral("chords %1 to %2 LUFS").arg(chords.low).arg(chords.high)));
    QVERIFY(notes.high <= -19.5 && notes.low > -40.0);
}

QTEST_GUILESS_MAIN(TestCourseSounds)
#include "tst_coursesounds.moc"
