#pragma once

namespace nk {

class OutputFolder;

// The numbered progress pictures in the top right corner of the exercise pages.
class ProgressPictures
{
public:
    static void writeAll(const OutputFolder &out);

private:
    static void training(const OutputFolder &out);
    static void melodies(const OutputFolder &out);
    static void drills(const OutputFolder &out);
};

} // namespace nk
