#include "tools/content/bitmap_font.h"

#include <tinyxml2.h>

namespace content {

std::string fontDescription(const std::vector<FontCell>& cells, const std::string& bitmapName)
{
    tinyxml2::XMLPrinter printer;
    printer.PushDeclaration("xml version=\"1.0\" encoding=\"ISO-8859-1\"");
    printer.OpenElement("alphabet");
    printer.PushAttribute("bitmap", bitmapName.c_str());
    for (const FontCell& cell : cells) {
        char letter[2] = {static_cast<char>(cell.code), 0};
        std::string bounds = std::to_string(cell.x) + ";" + std::to_string(cell.y) + ";" + std::to_string(cell.w) +
                             ";" + std::to_string(cell.h);
        printer.OpenElement("char");
        printer.PushAttribute("letter", letter);
        printer.PushAttribute("bounds", bounds.c_str());
        printer.CloseElement();
    }
    printer.CloseElement();
    return std::string(printer.CStr());
}

} // namespace content
