// plotmark: makes a print-and-cut job from an SVG or HP-GL design, with the
// sheet rendered to PDF and PNG by librsvg.
#include "cli/run.h"
#include "sheet/posix/rsvg_renderer.h"

int main(int argc, char** argv) {
  plotmark::RsvgRenderer renderer;
  return plotmark::RunPlotmark({argv + 1, argv + argc}, renderer);
}
