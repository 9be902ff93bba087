#pragma once

namespace nk {

class OutputFolder;

// The fixed pictures of the pages: arrows, the right-answer and rest
// pictures, the bear of the course part page and the black-and-white signs.
class PagePictures
{
public:
    static void writeAll(const OutputFolder &out);

private:
    static void arrows(const OutputFolder &out);
    static void right(const OutputFolder &out);
    static void relax(const OutputFolder &out);
    static void bear(const OutputFolder &out);
    static void keys(const OutputFolder &out);
    static void orderSigns(const OutputFolder &out);
};

} // namespace nk
