// What plot puts into every page besides the data, compiled into kv720-cli at build time: the
// charting library (uPlot, from the npm registry, pinned in viewer/package-lock.json) with its
// licence, and the viewer's own script and style (viewer/viewer.js, viewer/viewer.css).
#pragma once

#include <string_view>

namespace kv::cli {

struct ViewerAssets {
  std::string_view chartJs, chartCss, chartLicence, chartVersion;
  std::string_view viewerJs, viewerCss;
};

const ViewerAssets& Viewer();

}  // namespace kv::cli
