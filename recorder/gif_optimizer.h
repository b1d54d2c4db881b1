// Shrinking a finished GIF with the gifsicle optimiser, run as a separate program at optimisation
// level 3: with a colour count, or with the grey palette. Under Wine the host's gifsicle runs;
// on Windows gifsicle.exe beside the executable. Paths are UTF-16 throughout and converted only
// for the program's command line.
#pragma once

#include <windows.h>

#include <string>

#include "recorder/host_process.h"

// Results of the optimiser calls; the caller turns all but GifOptimizeOk into a message.
enum GifOptimizeResult : int {
    GifOptimizeOk = 0,
    GifOptimizeFailed = 1,        // gifsicle reported an error or wrote no loadable GIF
    GifOptimizeNoProgram = 2,     // gifsicle is not installed
    GifOptimizeTimedOut = 3,      // gifsicle did not finish within the time limit
    GifOptimizeBadArguments = 4,  // colour count outside 2..256, a missing path, or output = input
    GifOptimizeCancelled = 5,     // keepWaiting said stop: gifsicle has been stopped
};

// gifsicle -O3 --colors N IN -o OUT. While it runs, keepWaiting (when given) is called on this
// thread to handle its messages and to say whether to go on (see ProgramWaitCallback).
int OptimizeGifColors(int colors, const wchar_t* inputPath, const wchar_t* outputPath,
                      const ProgramWaitCallback& keepWaiting = nullptr);
// gifsicle -O3 --colors N --use-colormap gray IN -o OUT
int OptimizeGifGray(int colors, const wchar_t* inputPath, const wchar_t* outputPath,
                    const ProgramWaitCallback& keepWaiting = nullptr);

// Which program runs and for how long.
struct GifsicleSetup {
    // Under Wine a host path or a name looked up on the host's PATH; on Windows a Windows path.
    std::wstring program;
    DWORD timeoutMs = 60000;
};

// The environment variable KELVO_GIFSICLE names the program when set; else "gifsicle" on the
// host under Wine, or gifsicle.exe in the executable's folder on Windows.
GifsicleSetup DefaultGifsicleSetup();

// The two calls above with an explicit setup. The output file appears only on success, whole:
// gifsicle writes a temporary file beside it, which replaces the output once it has exited with
// status 0 and the file is a GIF with at least one image. Nothing is left behind on failure or
// cancel.
int OptimizeGif(int colors, bool gray, const wchar_t* inputPath, const wchar_t* outputPath,
                const GifsicleSetup& setup, const ProgramWaitCallback& keepWaiting = nullptr);
