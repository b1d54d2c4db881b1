// The states of the main window's machine; every window of the recorder consults them.
#pragma once

enum RecorderState {
    RecorderIdle = 0,       // no frames yet
    RecorderRecording = 1,  // the capture thread appends frames on its timer
    RecorderPaused = 2,     // timer stopped, but ticks queued before the pause may still run
    RecorderReady = 3,      // frames recorded or imported, the capture thread idle
    RecorderMaking = 4,     // the capture thread reads the frames to write a GIF
};
