#pragma once
namespace qp::print {

class TBaseReport;

// Draws the alignment page into a running job: rulers every inch, a tab
// table with each justification and shade, font styles and rotations, and
// each shape. Call it from OnPrint.
void PrintTestPage(TBaseReport& r);

} // namespace qp::print
