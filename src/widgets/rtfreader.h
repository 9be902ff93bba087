#pragma once

#include "widgets/rtftokenizer.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <vector>

class QTextDocument;

namespace nk {

// Reads RTF into a QTextDocument. Broken input never fails: whatever can be
// read is shown, nesting deeper than a fixed bound shares the state of the
// group at the bound, and time stays linear in the input.
class RtfReader
{
public:
    static constexpr int kMaxDepth = 200;

    // Replaces the content of `doc` by the text of `rtf`.
    static void read(QByteArrayView rtf, QTextDocument *doc);

private:
    enum class Dest
    {
        Text,
        Skip,
        FontTable,
        ColorTable,
        FieldInst
    };

    struct State
    {
        Dest dest = Dest::Text;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool starred = false; // `\*`: an unknown destination that follows is skipped
        int font = -1;        // -1: the document's default font
        int halfPoints = 0;   // 0: the document's default size
        int color = 0;
        int uc = 1;
        int field = -1;
        Qt::Alignment align = Qt::AlignLeft;
        QString href;
    };
    struct Font
    {
        QString name;
        int charset = -1;
        bool named = false;
    };
    struct Field
    {
        QString instruction;
    };

    explicit RtfReader(QTextDocument *doc);
    void run(QByteArrayView rtf);
    void handle(const RtfTokenizer::Token &t);
    void openGroup();
    void closeGroup();
    void controlWord(QByteArrayView word, int param, bool hasParam);
    bool characterWord(QByteArrayView word);
    bool formattingWord(QByteArrayView word, int param, bool hasParam);
    bool paragraphWord(QByteArrayView word);
    bool tableWord(QByteArrayView word, int param);
    bool destinationWord(QByteArrayView word);
    void controlSymbol(char c);
    void bytes(QByteArrayView data);
    void text(const QString &s);
    void textToFontTable(const QString &s);
    void textToColorTable(QByteArrayView data);
    void unicode(int param);
    bool skipFallback();
    void paragraph();
    void flush();
    void applyAlignment();
    int codepage() const;
    QTextCharFormat charFormat() const;
    State &state() { return m_stack.back(); }
    const State &state() const { return m_stack.back(); }

    QTextCursor m_cursor;
    std::vector<State> m_stack;
    int m_overflow = 0; // groups opened beyond kMaxDepth and not yet closed
    int m_skip = 0;     // fallback characters still to drop after \u
    int m_docCodepage;
    int m_defaultFont = -1;
    QHash<int, Font> m_fonts;
    int m_tableFont = -1;
    std::vector<QColor> m_colors;
    int m_rgb[3] = {-1, -1, -1};
    std::vector<Field> m_fields;
    QString m_pending;
    QTextCharFormat m_pendingFormat;
    Qt::Alignment m_blockAlign = Qt::AlignLeft;
};

} // namespace nk
