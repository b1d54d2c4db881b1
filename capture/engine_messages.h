// The capture engine's messages. Commands go from the user-interface thread to the capture
// thread as thread messages (CScreenRecorder::PostCommand, or PostThreadMessage to
// CScreenRecorder::GetThreadId); the thread answers only with window messages posted to the
// engine's notify window.
#pragma once

#include <windows.h>

// ---- Commands (to the capture thread) --------------------------------------------------

// Start or resume recording. lParam: timer interval in ms; 0 or less starts no timer (the
// recording state is entered, but only WM_TIMER messages posted to the thread capture).
// A start after a stop (or the first start) empties the frame list first.
constexpr UINT TM_START_CAPTURE = WM_USER + 210;
// End the recording. lParam 1: stop and answer with WM_CAPTURE_STOPPED; lParam 0: only make
// the next start begin a new frame list, no answer.
constexpr UINT TM_STOP_CAPTURE = WM_USER + 211;
// Prepare the kept frames and write the GIF to the engine's output path.
// wParam: mode (GIF_MODE_...); lParam: non-zero = dither. Answered with WM_GIF_DONE.
constexpr UINT TM_MAKE_GIF = WM_USER + 212;
// Pause: the timer stops, frames and count are kept. No answer.
constexpr UINT TM_PAUSE_CAPTURE = WM_USER + 214;
// The hand-over of the frame lists (posted by CScreenRecorder::AcquireFramesForUi only).
// wParam: the request's ticket. Answered through the engine, not with a message.
constexpr UINT TM_HAND_OVER_FRAMES = WM_USER + 215;
// WM_QUIT ends the thread (CScreenRecorder::StopRecorderThread posts it).

// Make-GIF modes (wParam of TM_MAKE_GIF, echoed in WM_GIF_DONE). The colour counts 16, 32,
// 64, 128 and 256 of the Edit dialog travel as modes too and are written like GIF_MODE_AS_SET.
constexpr WPARAM GIF_MODE_AS_SET = 0;
constexpr WPARAM GIF_MODE_FIT_400 = 1;  // fit into 400 x 400

// ---- Reports (to the notify window) -------------------------------------------------------

// One frame was added. lParam: frames captured since the last new start (1, 2, ...).
constexpr UINT WM_FRAME_CAPTURED = WM_USER + 220;
// The recording has ended; the frames captured so far stay in the list and the next start
// begins a new one. wParam: CAPTURE_STOP_... reason; lParam: frames captured since the last
// new start.
constexpr UINT WM_CAPTURE_STOPPED = WM_USER + 221;
// Progress of making the GIF. lParam: percent, 0..59 while frames are prepared, 60..95
// while they are written, 100 at the end (also when writing failed).
constexpr UINT WM_GIF_PROGRESS = WM_USER + 222;
// The GIF step has ended. wParam: the mode of TM_MAKE_GIF; lParam: 1 when the file was
// written, 0 when not (no kept frame, the file could not be written, memory ran out); a
// failed write leaves no file behind.
constexpr UINT WM_GIF_DONE = WM_USER + 223;

// Reasons of WM_CAPTURE_STOPPED.
constexpr WPARAM CAPTURE_STOP_REQUESTED = 0;      // answer to TM_STOP_CAPTURE with lParam 1
constexpr WPARAM CAPTURE_STOP_OUT_OF_MEMORY = 1;  // a frame could not be stored: the engine
                                                  // stopped by itself; tell the user
