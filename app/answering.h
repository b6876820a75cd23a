#pragma once
// Slow reading (a folder of a hundred thousand entries) done on a thread of
// its own while the window keeps answering.
#include <functional>

namespace nw::app {

// Runs work on a thread of its own and returns once it is done. Meanwhile a
// local event loop keeps the window repainting and answering input; what the
// user does then may start other work of this kind, which ends first.
void runAnswering(const std::function<void()>& work);

// Whether such work is under way (a pass must not start meanwhile).
bool workUnderWay();

} // namespace nw::app
