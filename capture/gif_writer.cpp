// The animated-GIF writer on the capture thread: hands the pictures to the GIF pipeline,
// writes the file and reports progress to the main window.
#include <cstdio>
#include <memory>

#include "capture/screen_recorder.h"

namespace {

constexpr int kProgressDone = 100;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

bool CScreenRecorder::WriteAnimatedGif(const wchar_t* path, FrameRecord* const* records,
                                       int count, bool dither, int playCount, int /*unused*/) {
    if (records == nullptr || count < 1) return false;
    std::vector<gifpipeline::PipelineFrame> input;
    input.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const FrameRecord* record = records[i];
        gifpipeline::PipelineFrame frame;
        if (record && record->image) frame.dib = record->image->GetDIB();
        frame.delay = record ? record->delay : 0;
        input.push_back(frame);  // unusable frames still count for the progress
    }
    return WriteGifFile(path, input, dither, playCount);
}

bool CScreenRecorder::WriteAnimatedGifFromImages(const wchar_t* path, CxImage* const* images,
                                                 int count, int framesPerSecond, bool dither,
                                                 int playCount, int /*unused*/) {
    if (images == nullptr || count < 1 || framesPerSecond < 1) return false;
    const int delay = 100 / framesPerSecond;
    std::vector<gifpipeline::PipelineFrame> input;
    input.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        gifpipeline::PipelineFrame frame;
        if (images[i]) frame.dib = images[i]->GetDIB();
        frame.delay = delay;
        input.push_back(frame);
    }
    return WriteGifFile(path, input, dither, playCount);
}

bool CScreenRecorder::WriteGifFile(const wchar_t* path,
                                   const std::vector<gifpipeline::PipelineFrame>& input,
                                   bool dither, int playCount) {
    if (path == nullptr || *path == 0 || input.empty()) return false;
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path, L"wb"));
    if (!file) {
        PostReport(WM_GIF_PROGRESS, 0, kProgressDone);
        return false;
    }
    std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 16);

    gifpipeline::PipelineOptions options;
    options.dither = dither;
    options.playCount = playCount;
    const gifpipeline::ProgressSink progress = [this](int percent) {
        PostReport(WM_GIF_PROGRESS, 0, percent);
        return !quitRequested;  // the program is closing
    };
    const gifpipeline::PipelineResult result = gifpipeline::WriteAnimatedGifToFile(
        input.data(), input.size(), options, file.get(), progress);
    const bool closed = std::fclose(file.release()) == 0;
    const bool written = result == gifpipeline::PipelineResult::Written && closed;
    if (!written) _wremove(path);  // a partial or empty file is no GIF
    PostReport(WM_GIF_PROGRESS, 0, kProgressDone);
    return written;
}
