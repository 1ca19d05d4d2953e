#pragma once

// How a worksheet asks to be printed: paper, orientation, margins and scaling, as the
// spreadsheet's page setup holds them.

namespace tombra::sheet {

struct PageMargins {  // inches
    double left = 0.7, right = 0.7, top = 0.75, bottom = 0.75, header = 0.3, footer = 0.3;
    bool operator==(const PageMargins&) const = default;
};

struct PageSetup {
    // The spreadsheet's paper code: 9 is A4, 8 A3, 11 A5, 1 Letter, 5 Legal, 12 B4 and 13 B5
    // (JIS). 0: the sheet names none.
    int paperSize = 0;
    bool landscape = false;
    int scale = 100;  // percent, 10..400; used when not fitting to pages
    // Fit to fitToWidth pages across and fitToHeight down; 0 leaves that direction free.
    bool fitToPage = false;
    int fitToWidth = 1, fitToHeight = 1;
    PageMargins margins;
    bool operator==(const PageSetup&) const = default;
};

}  // namespace tombra::sheet

namespace tombra::sheet {

// The paper of a spreadsheet paper code in millimetres, portrait (A4 for codes not known).
struct PaperMillimetres {
    double width, height;
};
PaperMillimetres paperMillimetres(int paperSize);

// The area inside the margins in points, turned as the setup says.
struct PrintableArea {
    double width, height;
};
PrintableArea printableArea(const PageSetup& setup);

}  // namespace tombra::sheet
