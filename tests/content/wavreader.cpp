#include "wavreader.h"

#include <QFile>
#include <QtEndian>

namespace nk {

WavReader::WavReader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return;
    QByteArray data;
    bool haveFormat = false;
    for (qsizetype pos = 12; pos + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(pos, 4);
        const auto size = qsizetype(qFromLittleEndian<quint32>(bytes.constData() + pos + 4));
        const char *body = bytes.constData() + pos + 8;
        if (pos + 8 + size > bytes.size())
            return;
        if (id == "fmt " && size >= 16) {
            m_formatTag = qFromLittleEndian<quint16>(body);
            m_channels = qFromLittleEndian<quint16>(body + 2);
            m_rate = int(qFromLittleEndian<quint32>(body + 4));
            m_bits = qFromLittleEndian<quint16>(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            data = QByteArray(body, size);
        }
        pos += 8 + size + (size & 1);
    }
    m_valid = haveFormat && !data.isEmpty();
    if (!m_valid || m_formatTag != 1 || m_bits != 16 || m_channels < 1)
        return;
    const qsizetype frames = data.size() / (2 * m_channels);
    m_mono.resize(size_t(frames));
    for (qsizetype f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < m_channels; ++c)
            sum += qFromLittleEndian<qint16>(data.constData() + (f * m_channels + c) * 2);
        m_mono[size_t(f)] = sum / (32768.0f * float(m_channels));
    }
}

} // namespace nk
