// The one gate through which the Edit dialog opens: only on frames that are ready, never twice,
// and while it runs nothing else may start a GIF, an import or a recording on the frames it
// shows. Afterwards the main window shows the new frame count and makes the GIF when asked, or
// else leaves the preview as it was before.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "recorder/editor_runner.h"
#include "recorder/preview_dlg.h"
#include "res/menu_ids.h"
#include "res/preview_ids.h"
#include "tests/editor/test_add_text_dlg_util.h"

namespace {

int g_runs = 0;
int g_answer = 0;
std::function<void(CRecorderDlg&)> g_during;

int FakeEditor(CRecorderDlg& main)
{
    ++g_runs;
    if (g_during)
        g_during(main);
    return g_answer;
}

HDROP FileList(const CString& file)
{
    const size_t chars = file.GetLength() + 2;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = (DROPFILES*)GlobalLock(memory);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    wcscpy((wchar_t*)(header + 1), file);
    GlobalUnlock(memory);
    return (HDROP)memory;
}

// The main window of the dialog's fixture, with the editor replaced by the fake.
class EditorGate : public editor_test::DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        g_runs = 0;
        g_answer = 0;
        g_during = nullptr;
        SetEditorRunner(&FakeEditor);
    }
    void TearDown() override
    {
        SetEditorRunner(nullptr);
        DialogFixture::TearDown();
    }
};

TEST_F(EditorGate, OpensOnlyOnReadyFramesFromEveryEditButton)
{
    // No frames yet, even in the ready state.
    main->state = RecorderReady;
    main->SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
    EXPECT_EQ(0, g_runs);

    editor_test::GiveFrames(*main, 40, 30, {RGB(255, 0, 0), RGB(0, 255, 0)});
    // Recording, paused and making: the capture thread may touch the frames.
    for (int state : {RecorderIdle, RecorderRecording, RecorderPaused, RecorderMaking}) {
        main->state = state;
        main->SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
        main->preview->SendMessage(WM_COMMAND, IDC_PREVIEW_EDIT);
        EXPECT_EQ(0, g_runs) << "state " << state;
    }
    main->state = RecorderReady;
    main->SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
    EXPECT_EQ(1, g_runs);
    main->preview->SendMessage(WM_COMMAND, IDC_PREVIEW_EDIT);
    EXPECT_EQ(2, g_runs);
    EXPECT_FALSE(main->editing);
    EXPECT_EQ(RecorderReady, main->state);  // closed without Preview: no GIF
}

TEST_F(EditorGate, WhileItRunsNothingElseReachesTheFrames)
{
    editor_test::GiveFrames(*main, 40, 30, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    main->preview->ShowWindow(SW_SHOWNORMAL);
    CString gif = engine_test::TempFile(L"kelvo_gate_drop.gif").c_str();
    {
        // A valid animated GIF: what a drop or an import would load over the frames.
        FrameRecord* records[] = {engine_test::MakeRecord(20, 20, RGB(1, 2, 3), 5),
                                  engine_test::MakeRecord(20, 20, RGB(9, 8, 7), 5)};
        CScreenRecorder writer;  // reports to no window
        ASSERT_TRUE(writer.WriteAnimatedGif(gif, records, 2, false, 0));
        for (FrameRecord* r : records) {
            delete r->image;
            delete r;
        }
    }
    int fileDialogs = 0;
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) -> INT_PTR {
        ++fileDialogs;
        dialog.SetPathName(gif);
        return IDOK;
    });
    FrameRecord* const first = main->engine.GetFrame(1);
    g_during = [&](CRecorderDlg& m) {
        EXPECT_TRUE(m.editing);
        EXPECT_FALSE(m.preview->IsWindowVisible());
        // A GIF job, the preview's commands, a second editor, imports, drops and a start.
        m.MakeGif(0);
        m.SendMessage(WM_COMMAND, IDC_PREVIEW_BUTTON);
        m.SendMessage(WM_COMMAND, IDC_START_BUTTON);
        CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_QUALITY_64; });
        m.preview->SendMessage(WM_COMMAND, IDC_PREVIEW_MICROBLOG);
        m.preview->SendMessage(WM_COMMAND, IDC_PREVIEW_EDIT);
        m.SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
        m.OnSettingsCommand(ID_IMPORT_FILE);
        m.SendMessage(WM_DROPFILES, (WPARAM)FileList(gif));
        Pump(300);
        EXPECT_EQ(RecorderReady, m.state);
        EXPECT_EQ(1, g_runs);
        EXPECT_EQ(0, fileDialogs);
        EXPECT_EQ(first, m.engine.GetFrame(1));
        EXPECT_EQ(3, m.engine.GetFrameCount());
        // The editor inserts a frame: the count the status strip shows must follow.
        m.engine.frames.Add(engine_test::MakeRecord(40, 30, RGB(9, 9, 9), 7));
    };
    g_answer = 32;  // closed through Preview with 32 colours
    main->SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
    EXPECT_EQ(1, g_runs);
    EXPECT_FALSE(main->editing);
    EXPECT_EQ(4, main->frameCount);
    // The main window makes the GIF after the dialog, with the dialog's colour count.
    EXPECT_EQ(RecorderMaking, main->state);
    EXPECT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 60000));
    DeleteFileW(gif);
}

TEST_F(EditorGate, ClosedWithoutPreviewTheRealDialogLeavesThePreviewAsItWas)
{
    SetEditorRunner(&RunEditDialog);
    editor_test::GiveFrames(*main, 40, 30, {RGB(255, 0, 0), RGB(0, 255, 0)});
    main->SendMessage(WM_COMMAND, IDC_PREVIEW_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady && main->preview->IsWindowVisible(); }, 60000));
    const CString shown = main->preview->gifPath;

    // Each 编辑 as a click reports it; the dialog is left with Cancel.
    auto editThenCancel = [&](CWnd* owner, int id) {
        bool hiddenMeanwhile = false;
        editor_test::WhenDialogOpens([&](CAddTextDlg& d) {
            hiddenMeanwhile = !main->preview->IsWindowVisible();
            d.PostMessage(WM_COMMAND, IDCANCEL);
        });
        owner->PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)owner->GetDlgItem(id)->m_hWnd);
        EXPECT_TRUE(PumpUntil([&] { return editor_test::scriptRan && !main->editing; }, 20000)) << id;
        Pump(100);
        EXPECT_TRUE(hiddenMeanwhile) << id;
        EXPECT_EQ(RecorderReady, main->state) << id;  // no GIF made
    };
    editThenCancel(main->preview, IDC_PREVIEW_EDIT);
    EXPECT_TRUE(main->preview->IsWindowVisible());
    editThenCancel(main.get(), IDC_EDIT_BUTTON);
    EXPECT_TRUE(main->preview->IsWindowVisible());
    EXPECT_EQ(shown, main->preview->gifPath);

    // Hidden before, hidden after.
    main->preview->ShowWindow(SW_HIDE);
    editThenCancel(main.get(), IDC_EDIT_BUTTON);
    EXPECT_FALSE(main->preview->IsWindowVisible());
}

}  // namespace
