#include "synthtimbre.h"

namespace nk {

const QList<SynthTimbre> &SynthTimbre::all()
{
    static const QList<SynthTimbre> list = {
        {QStringLiteral("piano"), 0},    {QStringLiteral("guitar"), 24},
        {QStringLiteral("strings"), 48}, {QStringLiteral("clarinet"), 71},
        {QStringLiteral("flute"), 73},   {QStringLiteral("vibraphone"), 11},
        {QStringLiteral("organ"), 19},   {QStringLiteral("choir"), 52}};
    return list;
}

} // namespace nk
