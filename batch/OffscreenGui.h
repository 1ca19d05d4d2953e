#pragma once

namespace tombra::batch {

// The Qt application that painting needs, created on first use and kept for the life of the
// process. Needs no display: unless the caller chose a platform, Qt's offscreen one is used.
void ensureGuiApplication();

}  // namespace tombra::batch
