#pragma once

// In the window the event loop's thread, not the run's, would take a signal
// that ends the process, and could end it in the middle of a tree line.
// start_termination_watcher blocks INT, TERM, HUP and QUIT in the calling
// thread (the threads made after it keep the block) and waits for them on a
// thread of its own: one that comes ends the process as it would have, once
// a line under way is whole. A signal that is not at its default action
// (ignored, or taken by a library's own handler) is left as it is. Call it
// once, before the process starts other threads; when no thread can be
// made, the signals stay as they were.
void start_termination_watcher();
