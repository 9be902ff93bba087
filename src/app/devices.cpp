// The device plug-in's entries (see course/deviceplugin.h): each hands over
// the maker of the libraries' code linked in here.
#include "audio/soundsink.h"
#include "midi/midisystem.h"
#include "report/reporttransport.h"

#include <QtGlobal>

extern "C" nk::SoundSinkMaker nk_builtin_sound_sink();
extern "C" const nk::MidiBackend *nk_builtin_midi();
extern "C" nk::ReportTransportMaker nk_builtin_report_transport();

extern "C" Q_DECL_EXPORT nk::SoundSinkMaker nk_plugin_sound_sink()
{
    return nk_builtin_sound_sink();
}

extern "C" Q_DECL_EXPORT const nk::MidiBackend *nk_plugin_midi()
{
    return nk_builtin_midi();
}

extern "C" Q_DECL_EXPORT nk::ReportTransportMaker nk_plugin_report_transport()
{
    return nk_builtin_report_transport();
}
