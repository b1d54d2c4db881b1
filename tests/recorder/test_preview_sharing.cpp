// How a GIF leaves the preview: Save As (a byte-identical copy, or a message when the copy
// fails), the clipboard, the micro-blog poster with its limits and its quoted argument, and the
// image-host uploader with its limit. The sibling programs are stubs that log their arguments.
#include <windows.h>

#include <shellapi.h>

#include "res/preview_ids.h"
#include "res/resource.h"
#include "tests/recorder/preview_test_util.h"

namespace preview_test {
namespace {

using PreviewSharingTest = PreviewTest;

void ChooseFromSaveMenu(CPreviewDlg& preview, UINT command)
{
    CMenu::SetTestResponder([command](CMenu&, UINT, int, int) { return command; });
    preview.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_SAVE, BN_CLICKED),
                        reinterpret_cast<LPARAM>(preview.btnSave.m_hWnd));
}

// ---- Save As ----------------------------------------------------------------------------------------

TEST_F(PreviewSharingTest, SaveAsMakesAByteIdenticalCopyOfTheShownGif)
{
    const std::wstring gif = WriteGif(L"shown.gif", 90, 60, 4);
    ShowPlain(gif);
    const std::wstring target = Folder() + L"保存 的.gif";
    int dialogs = 0;
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) {
        ++dialogs;
        EXPECT_FALSE(dialog.IsOpenDialog());
        EXPECT_TRUE(dialog.m_ofn.Flags & OFN_OVERWRITEPROMPT);
        EXPECT_TRUE(dialog.m_ofn.Flags & OFN_HIDEREADONLY);
        EXPECT_STREQ(L"gif", dialog.m_ofn.lpstrDefExt);
        EXPECT_STREQ(L"Animated Gif File(*.gif)", dialog.m_ofn.lpstrFilter);
        EXPECT_STREQ(L"*.gif", dialog.m_ofn.lpstrFilter + wcslen(dialog.m_ofn.lpstrFilter) + 1);
        dialog.SetPathName(target.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    ChooseFromSaveMenu(*preview, ID_PREVIEW_SAVE_TO_DISK);
    EXPECT_EQ(1, dialogs);
    EXPECT_EQ(ReadBytes(gif), ReadBytes(target));
    EXPECT_TRUE(Exists(gif));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewSharingTest, SaveAsOverwritesAnExistingFile)
{
    ShowPlain(mainGif);
    const std::wstring target = WriteBytes(L"old.gif", std::vector<uint8_t>(100000, 7));
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) {
        dialog.SetPathName(target.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    preview->SaveGifAs();
    EXPECT_EQ(ReadBytes(mainGif), ReadBytes(target));
}

TEST_F(PreviewSharingTest, AFailedCopyIsReported)
{
    ShowPlain(mainGif);
    const std::wstring target = Folder() + L"no such folder\\x.gif";
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) {
        dialog.SetPathName(target.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    preview->SaveGifAs();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_PREVIEW_SAVE_FAILED), messages[0]);
    EXPECT_FALSE(Exists(target));

    // The shown file is gone (closed meanwhile): reported too.
    messages.clear();
    preview->SendMessage(WM_CLOSE);
    const std::wstring elsewhere = Folder() + L"elsewhere.gif";
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) {
        dialog.SetPathName(elsewhere.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    preview->SaveGifAs();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_PREVIEW_SAVE_FAILED), messages[0]);
}

TEST_F(PreviewSharingTest, CancellingTheFileDialogDoesNothing)
{
    ShowPlain(mainGif);
    CFileDialog::SetTestResponder([](CFileDialog&) { return static_cast<INT_PTR>(IDCANCEL); });
    ChooseFromSaveMenu(*preview, ID_PREVIEW_SAVE_TO_DISK);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Exists(mainGif));
}

// ---- Clipboard ---------------------------------------------------------------------------------------

TEST_F(PreviewSharingTest, CopyPutsThePictureAndTheFileOnTheClipboard)
{
    const std::wstring gif = WriteGif(L"clip.gif", 33, 21, 2);
    ShowPlain(gif);
    ChooseFromSaveMenu(*preview, ID_PREVIEW_COPY);
    ASSERT_TRUE(::OpenClipboard(preview->m_hWnd));
    HANDLE dib = ::GetClipboardData(CF_DIB);
    ASSERT_NE(nullptr, dib);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib));
    EXPECT_EQ(33, header->biWidth);
    EXPECT_EQ(21, header->biHeight);
    ::GlobalUnlock(dib);
    HANDLE drop = ::GetClipboardData(CF_HDROP);
    ASSERT_NE(nullptr, drop);
    wchar_t name[MAX_PATH * 2] = L"";
    ::DragQueryFileW(static_cast<HDROP>(drop), 0, name, MAX_PATH * 2);
    ::CloseClipboard();
    EXPECT_EQ(FullPath(gif), std::wstring(name));
}

// ---- The micro-blog poster ----------------------------------------------------------------------------

TEST_F(PreviewSharingTest, ShareHandsThePosterTheQuotedPathAlsoWithBlanksAndChinese)
{
    const std::wstring gif = WriteGif(L"微博 分享 one.gif", 120, 90);
    ShowPlain(gif);
    preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_SHARE, BN_CLICKED),
                         reinterpret_cast<LPARAM>(preview->btnShare.m_hWnd));
    const Launch launch = WaitForLaunch(L"Vantoweb.exe");
    ASSERT_TRUE(launch.ran);
    EXPECT_EQ((std::vector<std::wstring>{L"Kelvo", L"cn", gif}), launch.args);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewSharingTest, ShareWithoutAFileStartsThePosterWithKelvoCnAlone)
{
    preview->gifPath = (Folder() + L"gone.gif").c_str();
    preview->ShareToMicroBlog();
    Launch launch = WaitForLaunch(L"Vantoweb.exe");
    ASSERT_TRUE(launch.ran);
    EXPECT_EQ((std::vector<std::wstring>{L"Kelvo", L"cn"}), launch.args);

    ::DeleteFileW(StubLog(L"Vantoweb.exe").c_str());
    preview->gifPath.Empty();
    preview->ShareToMicroBlog();
    launch = WaitForLaunch(L"Vantoweb.exe");
    ASSERT_TRUE(launch.ran);
    EXPECT_EQ((std::vector<std::wstring>{L"Kelvo", L"cn"}), launch.args);
}

TEST_F(PreviewSharingTest, ShareAcceptsExactly400By400)
{
    preview->gifPath = WriteGif(L"square.gif", 400, 400, 1, 16).c_str();
    preview->ShareToMicroBlog();
    const Launch launch = WaitForLaunch(L"Vantoweb.exe");
    ASSERT_TRUE(launch.ran);
    EXPECT_EQ(3u, launch.args.size());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewSharingTest, ShareRefusesAGifWiderOrTallerThan400)
{
    const CString refusal = LoadText(IDS_SHARE_TOO_WIDE);
    EXPECT_EQ(CString(L"待上传的 GIF 动画不适合在微博播放，请使用[生成微博GIF]按钮压缩文件再上传。"), refusal);
    for (const auto& size : {CSize(401, 10), CSize(10, 401)}) {
        messages.clear();
        preview->gifPath = WriteGif(L"too large.gif", size.cx, size.cy, 1, 16).c_str();
        preview->ShareToMicroBlog();
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(refusal, messages[0]);
    }
    EXPECT_FALSE(WaitForLaunch(L"Vantoweb.exe", 1500).ran);
}

TEST_F(PreviewSharingTest, ShareAcceptsExactly5000KBAndRefusesMore)
{
    preview->gifPath = WritePaddedGif(L"limit.gif", 20, 20, 5000 * 1024).c_str();
    preview->ShareToMicroBlog();
    const Launch launch = WaitForLaunch(L"Vantoweb.exe");
    ASSERT_TRUE(launch.ran);
    EXPECT_EQ(3u, launch.args.size());
    EXPECT_TRUE(messages.empty());

    ::DeleteFileW(StubLog(L"Vantoweb.exe").c_str());
    preview->gifPath = WritePaddedGif(L"over.gif", 20, 20, 5000 * 1024 + 103).c_str();
    preview->ShareToMicroBlog();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(CString(L"待上传的 GIF 动画文件大于 5M，超过了微博限定的文件大小。\n请使用[生成微博GIF]按钮压缩文件再上传。"),
              messages[0]);
    EXPECT_FALSE(WaitForLaunch(L"Vantoweb.exe", 1500).ran);
}

// ---- The image-host uploader ----------------------------------------------------------------------------

TEST_F(PreviewSharingTest, TheUploaderGetsThePathUpTo2048KBAndIsRefusedAbove)
{
    const std::wstring gif = WritePaddedGif(Folder() + L"upload.gif", 20, 20, 2048 * 1024);
    // The path has blanks; the uploader takes it unquoted, so it sees it in pieces.
    preview->gifPath = gif.c_str();
    preview->UploadToImageHost();
    const Launch launch = WaitForLaunch(L"Vantoup.exe");
    ASSERT_TRUE(launch.ran);
    std::wstring joined;
    for (const std::wstring& arg : launch.args)
        joined += (joined.empty() ? L"" : L" ") + arg;
    EXPECT_EQ(gif, joined);
    EXPECT_TRUE(messages.empty());

    ::DeleteFileW(StubLog(L"Vantoup.exe").c_str());
    preview->gifPath = WritePaddedGif(L"upload big.gif", 20, 20, 2048 * 1024 + 103).c_str();
    preview->UploadToImageHost();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_UPLOAD_TOO_BIG), messages[0]);
    EXPECT_FALSE(WaitForLaunch(L"Vantoup.exe", 1500).ran);
}

}  // namespace
}  // namespace preview_test
