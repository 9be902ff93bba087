#include "course/randomsource.h"

#include <QDateTime>
#include <random>

namespace nk {

namespace {

std::mt19937 &generator()
{
    static std::mt19937 engine{quint32(QDateTime::currentMSecsSinceEpoch())};
    return engine;
}

} // namespace

int RandomSource::draw(int low, int high)
{
    if (high <= low)
        return low;
    return std::uniform_int_distribution<int>(low, high)(generator());
}

void RandomSource::seed(quint32 value)
{
    generator().seed(value);
}

} // namespace nk
