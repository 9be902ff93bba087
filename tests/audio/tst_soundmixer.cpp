// The mixer, the clip conversion and the WAV reader, without any sound device.

#include "audio/pcmclip.h"
#include "audio/sharedmix.h"
#include "audio/soundmixer.h"
#include "audio/wavdecoder.h"

#include <QTest>
#include <QtEndian>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

using Samples = std::vector<qint16>;

std::shared_ptr<const PcmClip> clip(Samples samples, int channels = 1)
{
    return std::make_shared<const PcmClip>(PcmClip{44100, channels, std::move(samples)});
}

Samples pull(SoundMixer &mixer, qsizetype frames)
{
    Samples out(std::size_t(frames * mixer.channels()), qint16(12345)); // not silence
    mixer.pull(out.data(), frames);
    return out;
}

void put(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray out(id, 4);
    put(out, quint32(body.size()), 4);
    out += body;
    if (body.size() % 2)
        out.append('\0');
    return out;
}

QByteArray fmtBody(int tag, int channels, int rate, int bits)
{
    QByteArray body;
    const int block = channels * bits / 8;
    put(body, quint32(tag == 0xFFFE ? 0xFFFE : tag), 2);
    put(body, quint32(channels), 2);
    put(body, quint32(rate), 4);
    put(body, quint32(rate * block), 4);
    put(body, quint32(block), 2);
    put(body, quint32(bits), 2);
    if (tag == 0xFFFE) { // extensible: size, valid bits, channel mask, PCM sub-format
        put(body, 22, 2);
        put(body, quint32(bits), 2);
        put(body, 4, 4);
        put(body, 1, 2);
        body += QByteArray::fromHex("000000001000800000aa00389b71");
    }
    return body;
}

QByteArray riff(const QByteArray &chunks)
{
    QByteArray out("RIFF");
    put(out, quint32(4 + chunks.size()), 4);
    return out + "WAVE" + chunks;
}

QByteArray wav(int tag, int channels, int bits, const QByteArray &data)
{
    return riff(chunk("fmt ", fmtBody(tag, channels, 22050, bits)) + chunk("data", data));
}

QByteArray floats(std::initializer_list<float> values)
{
    QByteArray out;
    for (float v : values) {
        quint32 raw;
        std::memcpy(&raw, &v, 4);
        put(out, raw, 4);
    }
    return out;
}

} // namespace

class TestSoundMixer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void voiceEndsWithItsClip();
    void voicesAddUp_data();
    void voicesAddUp();
    void clearThenStart();
    void refusedAndBoundedVoices();
    void restartIsOneStep_data();
    void restartIsOneStep();
    void convert_data();
    void convert();
    void decode_data();
    void decode();
    void undecodable_data();
    void undecodable();
};

void TestSoundMixer::voiceEndsWithItsClip()
{
    SoundMixer mixer(1);
    QVERIFY(mixer.idle());
    QCOMPARE(pull(mixer, 3), Samples(3, 0));
    QVERIFY(mixer.start(clip({1, 2, 3, 4, 5})));
    QVERIFY(!mixer.idle());
    // Pulls that split the clip and run past its end.
    QCOMPARE(pull(mixer, 2), (Samples{1, 2}));
    QVERIFY(!mixer.idle());
    QCOMPARE(pull(mixer, 2), (Samples{3, 4}));
    QCOMPARE(pull(mixer, 4), (Samples{5, 0, 0, 0}));
    QVERIFY(mixer.idle());
    QCOMPARE(pull(mixer, 0), Samples{});
}

void TestSoundMixer::voicesAddUp_data()
{
    QTest::addColumn<Samples>("first");
    QTest::addColumn<Samples>("second");
    QTest::addColumn<int>("channels");
    QTest::addColumn<Samples>("expected");
    QTest::newRow("sum, the shorter ends first")
        << Samples{100, -200, 300} << Samples{10, 20} << 1 << Samples{110, -180, 300, 0};
    QTest::newRow("the longer second")
        << Samples{1, 2} << Samples{10, 20, 30, 40} << 1 << Samples{11, 22, 30, 40, 0};
    QTest::newRow("clipped at full scale")
        << Samples{30000, -30000, 32767} << Samples{30000, -30000, -1} << 1
        << Samples{32767, -32768, 32766, 0};
    QTest::newRow("stereo frames")
        << Samples{1, 2, 3, 4} << Samples{10, 20} << 2 << Samples{11, 22, 3, 4, 0, 0};
}

void TestSoundMixer::voicesAddUp()
{
    QFETCH(Samples, first);
    QFETCH(Samples, second);
    QFETCH(int, channels);
    QFETCH(Samples, expected);
    SoundMixer mixer(channels);
    QVERIFY(mixer.start(clip(first, channels)));
    QVERIFY(mixer.start(clip(second, channels)));
    QCOMPARE(mixer.voiceCount(), 2);
    QCOMPARE(pull(mixer, qsizetype(expected.size()) / channels), expected);
    QVERIFY(mixer.idle());
}

// Clearing drops every voice; a voice started afterwards sounds from its start.
void TestSoundMixer::clearThenStart()
{
    SoundMixer mixer(1);
    mixer.start(clip(Samples(10, 1000)));
    mixer.start(clip(Samples(10, 7)));
    pull(mixer, 3);
    mixer.clear();
    QVERIFY(mixer.idle());
    QCOMPARE(pull(mixer, 2), Samples(2, 0));
    mixer.start(clip({1, 2, 3}));
    QCOMPARE(pull(mixer, 4), (Samples{1, 2, 3, 0}));
    QVERIFY(mixer.idle());
}

void TestSoundMixer::refusedAndBoundedVoices()
{
    SoundMixer mixer(1);
    QVERIFY(!mixer.start(clip({1, 2}, 2)));
    QVERIFY(!mixer.start(nullptr));
    QVERIFY(mixer.start(clip({})));
    QVERIFY(mixer.idle());
    for (int i = 1; i <= SoundMixer::MaxVoices + 3; ++i)
        mixer.start(clip({qint16(i)}));
    QCOMPARE(mixer.voiceCount(), SoundMixer::MaxVoices);
    // The three oldest (1, 2, 3) went: 4 + 5 + ... + 19.
    QCOMPARE(pull(mixer, 1), Samples{qint16((4 + SoundMixer::MaxVoices + 3) * 8)});
}

// The two threads' sides of the shared mix, interleaved step by step: "a" and
// "b" start clip A or B, "s" stops (S: a fresh stream was asked for), "t" is
// the feeder taking the request (T: drop the stream), "p" pulls two frames for
// the stream open now ("-": refused, a fresh one is due).
void TestSoundMixer::restartIsOneStep_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a feed between a new note and the wake-up")
        << u"atpbptp"_s << u"T[1 2]-T[11 12]"_s;
    QTest::newRow("stop then play, woken between") << u"atpstbptp"_s << u"T[1 2]ST-T[11 12]"_s;
    QTest::newRow("stop then play, woken after both: one fresh stream")
        << u"atpsbttp"_s << u"T[1 2]STt[11 12]"_s;
    QTest::newRow("stop in silence asks for nothing") << u"stp"_s << u"st[0 0]"_s;
    QTest::newRow("a note that ended needs no stop") << u"atpppps"_s << u"T[1 2][3 4][5 0][0 0]s"_s;
}

void TestSoundMixer::restartIsOneStep()
{
    QFETCH(QString, steps);
    SharedMix mix(1);
    QString got;
    for (QChar step : steps) {
        if (step == u'a' || step == u'b') {
            QVERIFY(mix.restartWith(step == u'a' ? clip({1, 2, 3, 4, 5}) : clip({11, 12, 13, 14})));
        } else if (step == u's') {
            got += mix.restartWith(nullptr) ? u'S' : u's';
        } else if (step == u't') {
            got += mix.takeRestart() ? u'T' : u't';
        } else {
            Samples out(2, qint16(-1));
            bool idle = false;
            got += mix.pullForStream(out.data(), 2, &idle) ? u"[%1 %2]"_s.arg(out[0]).arg(out[1])
                                                           : u"-"_s;
        }
    }
    QTEST(got, "expected");
}

void TestSoundMixer::convert_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<int>("toRate");
    QTest::addColumn<int>("toChannels");
    QTest::addColumn<Samples>("expected");
    QTest::newRow("same format") << 44100 << 1 << Samples{1, -2, 3} << 44100 << 1
                                 << Samples{1, -2, 3};
    QTest::newRow("mono to stereo")
        << 44100 << 1 << Samples{5, -7} << 44100 << 2 << Samples{5, 5, -7, -7};
    QTest::newRow("stereo to mono averages")
        << 44100 << 2 << Samples{100, 300, -32768, -32768} << 44100 << 1 << Samples{200, -32768};
    QTest::newRow("three channels to two")
        << 44100 << 3 << Samples{1, 2, 3} << 44100 << 2 << Samples{1, 2};
    QTest::newRow("doubled rate interpolates")
        << 22050 << 1 << Samples{0, 100, -100} << 44100 << 1 << Samples{0, 50, 100, 0, -100, -100};
    QTest::newRow("halved rate") << 88200 << 1 << Samples{0, 1, 2, 3, 4, 5} << 44100 << 1
                                 << Samples{0, 2, 4};
    QTest::newRow("stereo rate change keeps channels apart")
        << 22050 << 2 << Samples{0, 1000, 100, 0} << 44100 << 2
        << Samples{0, 1000, 50, 500, 100, 0, 100, 0};
    QTest::newRow("empty") << 48000 << 1 << Samples{} << 44100 << 1 << Samples{};
}

void TestSoundMixer::convert()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(Samples, samples);
    QFETCH(int, toRate);
    QFETCH(int, toChannels);
    QFETCH(Samples, expected);
    const PcmClip out = convertClip(PcmClip{rate, channels, samples}, toRate, toChannels);
    QCOMPARE(out.rate, toRate);
    QCOMPARE(out.channels, toChannels);
    QCOMPARE(out.samples, expected);
}

void TestSoundMixer::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("channels");
    QTest::addColumn<Samples>("expected");
    QTest::newRow("16 bit") << wav(1, 1, 16, QByteArray::fromHex("0100ffff0080ff7f")) << 1
                            << Samples{1, -1, -32768, 32767};
    QTest::newRow("8 bit unsigned")
        << wav(1, 1, 8, QByteArray::fromHex("0080ff")) << 1 << Samples{-32768, 0, 32512};
    QTest::newRow("24 bit keeps the top")
        << wav(1, 1, 24, QByteArray::fromHex("ff3412000080")) << 1 << Samples{0x1234, -32768};
    QTest::newRow("32 bit integer")
        << wav(1, 1, 32, QByteArray::fromHex("ffff3412")) << 1 << Samples{0x1234};
    QTest::newRow("float, clamped and NaN silenced")
        << wav(3, 1, 32, floats({0.5f, -1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN()})) << 1
        << Samples{16384, -32767, 32767, 0};
    QTest::newRow("extensible stereo")
        << wav(0xFFFE, 2, 16, QByteArray::fromHex("01000200")) << 2 << Samples{1, 2};
    QTest::newRow("padded odd chunk before the format")
        << riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody(1, 1, 44100, 16)) +
                chunk("data", QByteArray::fromHex("0700")))
        << 1 << Samples{7};
    QTest::newRow("truncated data, odd byte dropped")
        << wav(1, 1, 16, QByteArray::fromHex("0100020003000400")).left(44 + 5) << 1
        << Samples{1, 2};
}

void TestSoundMixer::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, channels);
    QFETCH(Samples, expected);
    QString error;
    const std::optional<PcmClip> clip = WavDecoder::decode(bytes, &error);
    QVERIFY2(clip, qPrintable(error));
    QCOMPARE(clip->channels, channels);
    QCOMPARE(clip->samples, expected);
}

void TestSoundMixer::undecodable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray two = QByteArray::fromHex("0100");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not RIFF") << QByteArray("RIFX this is not a wave file at all");
    QTest::newRow("RIFF but AVI") << QByteArray("RIFF\x04\0\0\0AVI ", 12);
    QTest::newRow("ADPCM") << wav(2, 1, 4, two);
    QTest::newRow("12 bit") << wav(1, 1, 12, two);
    QTest::newRow("64-bit float") << wav(3, 1, 64, QByteArray(8, '\0'));
    QTest::newRow("no channels") << wav(1, 0, 16, two);
    QTest::newRow("nine channels") << wav(1, 9, 16, QByteArray(18, '\0'));
    QTest::newRow("no sound data") << wav(1, 1, 16, QByteArray());
    QTest::newRow("data before format")
        << riff(chunk("data", two) + chunk("fmt ", fmtBody(1, 1, 44100, 16)));
    QTest::newRow("format only") << riff(chunk("fmt ", fmtBody(1, 1, 44100, 16)));
    QTest::newRow("format chunk too short") << riff(chunk("fmt ", "abcd") + chunk("data", two));
    QTest::newRow("chunk length beyond the file")
        << riff(QByteArray("JUNK\xff\xff\xff\x7f", 8) + chunk("fmt ", fmtBody(1, 1, 44100, 16)));
}

void TestSoundMixer::undecodable()
{
    QFETCH(QByteArray, bytes);
    QString error;
    QVERIFY(!WavDecoder::decode(bytes, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_APPLESS_MAIN(TestSoundMixer)
#include "tst_soundmixer.moc"
