#include "steps/notecard.h"

#include "audio/noteplayer.h"
#include "course/tglobalsettings.h"
#include "steps/stepcontext.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"

namespace nk {

namespace {

void setLabel(Page &page, QPoint point, const QString &text)
{
    if (auto *label = qobject_cast<PageLabel *>(page.controlAt(point)))
        label->setCaption(text);
}

} // namespace

void ShowNoteCard(StepContext &context, int octave, quint8 pitch)
{
    Page &page = context.page;
    const int level = context.Settings.Level;
    const NoteCatalogue catalogue(page.base(), stepPitchNaming());
    setLabel(page, TrainingPages::CardNamePoint, PitchName(pitch));
    if (auto *picture =
            qobject_cast<PagePicture *>(page.findByName(TrainingPages::cardPictureName()))) {
        picture->loadInto(catalogue.NotePicturePath(level, pitch), picture->geometry());
        picture->describe(QStringLiteral("Картинка ноты ") + PitchName(pitch));
    }
    const CatalogueNote note = catalogue.note(level, catalogue.FindNoteSection(level, pitch));
    const QChar cr(u'\r');
    setLabel(page, TrainingPages::CardTraitsPoint,
             QStringLiteral(" - ") + note.v1 + cr + QStringLiteral(" - ") + note.v2 + cr +
                 QStringLiteral(" - ") + note.v3);
    context.player.PlayNote(octave, pitch);
}

} // namespace nk
