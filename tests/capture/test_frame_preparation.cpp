// Frame preparation: kept frames copied with captions, scaled and watermarked, in order, with
// their delays and progress; the output size rules; the watermark's four corners.
#include <gtest/gtest.h>

#include "capture/caption_list.h"
#include "tests/capture/engine_test_support.h"

namespace {

using engine_test::MakeRecord;
using engine_test::PixelAt;
using engine_test::ReportWindow;

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBoxGreen = RGB(0, 200, 0);

class FramePreparation : public ::testing::Test {
protected:
    void SetUp() override {
        engine.SetNotifyWindow(reports.Handle());
        engine.SetCaptureRegion(0, 0, 40, 30, 0);
        engine.SetOutput(1.0f, L"");
    }

    // A caption box in kBoxGreen over frames first..last, its bottom-left corner at (2, 20).
    CaptionItem* AddBoxCaption(int first, int last, int style = CAPTION_STYLE_BOX) {
        CaptionItem* c = NewCaptionItem();
        c->x = 2;
        c->y = 20;
        c->firstFrame = first;
        c->lastFrame = last;
        c->style = style;
        SetCaptionText(*c, L"Hi");
        SetCaptionFaceName(*c, L"Arial");
        c->textInfo.lfont.lfHeight = -14;
        c->textInfo.lfont.lfWeight = FW_BOLD;
        c->textInfo.fcolor = kBoxGreen;
        c->textInfo.bcolor = kBoxGreen;
        c->textInfo.opaque = style == CAPTION_STYLE_BOX ? 1 : 0;
        AddCaption(engine.captions, c);
        return c;
    }

    static int CountColour(const CxImage& picture, COLORREF colour) {
        int n = 0;
        for (DWORD y = 0; y < picture.GetHeight(); ++y)
            for (DWORD x = 0; x < picture.GetWidth(); ++x)
                n += PixelAt(picture, static_cast<int>(x), static_cast<int>(y)) == colour;
        return n;
    }

    ReportWindow reports;
    CScreenRecorder engine;
};

TEST_F(FramePreparation, SkipsADeletedFrameButCountsItForCaptionsAndProgress) {
    engine.frames.Add(MakeRecord(40, 30, kBlack, 3));
    engine.frames.Add(MakeRecord(40, 30, RGB(255, 255, 255), 4, false));
    engine.frames.Add(MakeRecord(40, 30, kBlack, 5));
    AddBoxCaption(3, 3);
    engine.ProcessFrames(0);
    ASSERT_EQ(2, engine.processedFrames.GetSize());
    EXPECT_EQ(3, engine.processedFrames[0]->delay);
    EXPECT_EQ(5, engine.processedFrames[1]->delay);
    // Frame 3 is the second output frame: it carries the caption, frame 1 does not.
    EXPECT_EQ(0, CountColour(*engine.processedFrames[0]->image, kBoxGreen));
    EXPECT_GT(CountColour(*engine.processedFrames[1]->image, kBoxGreen), 20);
    EXPECT_EQ(kBoxGreen, PixelAt(*engine.processedFrames[1]->image, 3, 19));
    reports.Settle(100);
    EXPECT_EQ((std::vector<LPARAM>{0, 20, 40}), reports.LParams(WM_GIF_PROGRESS));
}

TEST_F(FramePreparation, ACaptionIsDrawnOnlyOnTheFramesOfItsRange) {
    for (int i = 0; i < 4; ++i) engine.frames.Add(MakeRecord(40, 30, kBlack, 5));
    AddBoxCaption(2, 2);
    engine.ProcessFrames(0);
    ASSERT_EQ(4, engine.processedFrames.GetSize());
    EXPECT_EQ(0, CountColour(*engine.processedFrames[0]->image, kBoxGreen));
    EXPECT_GT(CountColour(*engine.processedFrames[1]->image, kBoxGreen), 20);
    EXPECT_EQ(0, CountColour(*engine.processedFrames[2]->image, kBoxGreen));
    EXPECT_EQ(0, CountColour(*engine.processedFrames[3]->image, kBoxGreen));
}

TEST_F(FramePreparation, AnOutlineCaptionDrawsTheLettersOverAnOutlineOfTheBackgroundColour) {
    engine.frames.Add(MakeRecord(40, 30, kBlack, 5));
    CaptionItem* c = AddBoxCaption(1, 1, CAPTION_STYLE_OUTLINE);
    c->textInfo.fcolor = RGB(255, 255, 255);
    c->textInfo.bcolor = RGB(255, 0, 0);
    engine.ProcessFrames(0);
    ASSERT_EQ(1, engine.processedFrames.GetSize());
    const CxImage& out = *engine.processedFrames[0]->image;
    int white = 0, redNextToWhite = 0, whiteWithoutRedAround = 0;
    for (int y = 1; y < 29; ++y)
        for (int x = 1; x < 39; ++x) {
            if (PixelAt(out, x, y) == RGB(255, 255, 255)) {
                ++white;
                bool redAround = false;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx) redAround |= PixelAt(out, x + dx, y + dy) == RGB(255, 0, 0);
                whiteWithoutRedAround += !redAround;
            }
            if (PixelAt(out, x, y) == RGB(255, 0, 0)) {
                bool whiteNear = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) whiteNear |= PixelAt(out, x + dx, y + dy) == RGB(255, 255, 255);
                redNextToWhite += whiteNear;
            }
        }
    EXPECT_GT(white, 10);
    EXPECT_GT(redNextToWhite, 10);
    EXPECT_EQ(0, whiteWithoutRedAround);  // the outline goes all round the letters
}

TEST_F(FramePreparation, FitsIntoFourHundredOnlyWhenASideIsLarger) {
    engine.frames.Add(MakeRecord(16, 12, kBlack, 5));
    struct Case {
        int w, h, mode, wantW, wantH;
    } cases[] = {{580, 380, 1, 400, 262}, {300, 200, 1, 300, 200}, {800, 1000, 1, 320, 400},
                 {580, 380, 0, 580, 380}, {580, 380, 256, 580, 380}, {500, 500, 1, 400, 400}};
    for (const Case& c : cases) {
        engine.SetCaptureRegion(0, 0, c.w, c.h, 0);
        engine.ProcessFrames(c.mode);
        ASSERT_EQ(1, engine.processedFrames.GetSize());
        EXPECT_EQ(static_cast<DWORD>(c.wantW), engine.processedFrames[0]->image->GetWidth()) << c.w << "x" << c.h << " mode " << c.mode;
        EXPECT_EQ(static_cast<DWORD>(c.wantH), engine.processedFrames[0]->image->GetHeight()) << c.w << "x" << c.h << " mode " << c.mode;
        engine.ClearProcessedFrames();
    }
}

TEST_F(FramePreparation, TheOutputIsNeverSmallerThanOnePixel) {
    engine.frames.Add(MakeRecord(4, 4, kBlack, 5));
    engine.SetCaptureRegion(10, 10, 11, 11, 0);
    engine.SetOutput(0.3f, L"");
    engine.ProcessFrames(0);
    ASSERT_EQ(1, engine.processedFrames.GetSize());
    EXPECT_EQ(1u, engine.processedFrames[0]->image->GetWidth());
    EXPECT_EQ(1u, engine.processedFrames[0]->image->GetHeight());
}

TEST_F(FramePreparation, ScalesByTheOutputFactor) {
    engine.frames.Add(MakeRecord(40, 30, RGB(10, 20, 30), 5));
    engine.SetOutput(0.5f, L"");
    engine.ProcessFrames(0);
    ASSERT_EQ(1, engine.processedFrames.GetSize());
    EXPECT_EQ(20u, engine.processedFrames[0]->image->GetWidth());
    EXPECT_EQ(15u, engine.processedFrames[0]->image->GetHeight());
    EXPECT_EQ(RGB(10, 20, 30), PixelAt(*engine.processedFrames[0]->image, 7, 7));
}

TEST_F(FramePreparation, TheWatermarkSitsInTheCornerOfItsPosition) {
    const COLORREF blue = RGB(0, 0, 255);
    engine.frames.Add(MakeRecord(120, 80, kBlack, 5));
    engine.SetCaptureRegion(0, 0, 120, 80, 0);
    // Letters and box in one colour: the whole box shows.
    engine.SetWatermark(true, 0, blue, blue, -12, false, false, true, L"Kelvo");
    int textW = 0, textH = 0;
    engine.MeasureWatermarkText(textW, textH);
    ASSERT_GT(textW, 5);
    ASSERT_GT(textH, 5);
    struct Corner {
        int position, left, top;
    } corners[] = {{0, 0, 0}, {1, 0, 80 - textH}, {2, 120 - textW, 0}, {3, 120 - textW, 80 - textH}, {7, 120 - textW, 0}};
    for (const Corner& c : corners) {
        engine.SetWatermark(true, c.position, blue, blue, -12, false, false, true, L"Kelvo");
        engine.ProcessFrames(0);
        ASSERT_EQ(1, engine.processedFrames.GetSize());
        const CxImage& out = *engine.processedFrames[0]->image;
        EXPECT_EQ(textW * textH, CountColour(out, blue)) << "position " << c.position;
        EXPECT_EQ(blue, PixelAt(out, c.left, c.top)) << "position " << c.position;
        EXPECT_EQ(blue, PixelAt(out, c.left + textW - 1, c.top + textH - 1)) << "position " << c.position;
        engine.ClearProcessedFrames();
    }
}

TEST_F(FramePreparation, WithoutAWatermarkTheMeasureChangesNothing) {
    int w = 20, h = 15;
    engine.MeasureWatermarkText(w, h);
    EXPECT_EQ(20, w);
    EXPECT_EQ(15, h);
}

}  // namespace
