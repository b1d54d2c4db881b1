// Menus: loading from the resources, marks and texts, ownership, and the popup seam.
#include <gtest/gtest.h>

#include "framework/menu.h"
#include "tests/framework/widgets_test_ids.h"
#include "tests/framework/widgets_test_util.h"

using widgets_test::TestWindow;

namespace {

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(menu.LoadMenu(IDM_WIDGETS_SETTINGS));
        popup = menu.GetSubMenu(0);
        ASSERT_NE(nullptr, popup);
    }
    void TearDown() override
    {
        CMenu::SetTestResponder(nullptr);
        CMenu::DeleteTempMap();
    }

    bool Checked(UINT id) const { return (popup->GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

    CMenu menu;
    CMenu* popup = nullptr;
};

}  // namespace

TEST_F(MenuTest, LoadsTheResourceWithItsSubmenusAndTexts)
{
    EXPECT_EQ(1u, menu.GetMenuItemCount());
    EXPECT_EQ(6u, popup->GetMenuItemCount());
    CMenu* rates = popup->GetSubMenu(0);
    ASSERT_NE(nullptr, rates);
    EXPECT_EQ(rates, popup->GetSubMenu(0));
    EXPECT_EQ(4u, rates->GetMenuItemCount());
    EXPECT_EQ((UINT)ID_RATE_20, rates->GetMenuItemID(1));
    EXPECT_EQ((UINT)-1, popup->GetMenuItemID(0));
    EXPECT_EQ(nullptr, popup->GetSubMenu(1));

    CString text;
    EXPECT_EQ(9, popup->GetMenuString(ID_TOPMOST, text, MF_BYCOMMAND));
    EXPECT_EQ(CString(L"使窗口保持在最前端"), text);
    popup->GetMenuString(2, text, MF_BYPOSITION);
    EXPECT_EQ(CString(L"修改现有GIF文件"), text);
    EXPECT_EQ(0, popup->GetMenuString(4242, text, MF_BYCOMMAND));
    EXPECT_TRUE(text.IsEmpty());

    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(4242));
    EXPECT_EQ(nullptr, missing.GetSafeHmenu());
}

TEST_F(MenuTest, RadioMarkMovesWithinTheRange)
{
    EXPECT_TRUE(Checked(ID_RATE_15));
    ASSERT_TRUE(popup->CheckMenuRadioItem(ID_RATE_30, ID_RATE_5, ID_RATE_20, MF_BYCOMMAND));
    EXPECT_TRUE(Checked(ID_RATE_20));
    EXPECT_FALSE(Checked(ID_RATE_15));
    EXPECT_FALSE(Checked(ID_RATE_30));
    EXPECT_FALSE(Checked(ID_RATE_5));
    MENUITEMINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(*popup, ID_RATE_20, FALSE, &info));
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    // Items outside the range keep their marks.
    EXPECT_TRUE(Checked(ID_TOPMOST));
}

TEST_F(MenuTest, CheckReturnsThePreviousState)
{
    EXPECT_EQ((UINT)MF_CHECKED, popup->CheckMenuItem(ID_TOPMOST, MF_BYCOMMAND | MF_UNCHECKED));
    EXPECT_FALSE(Checked(ID_TOPMOST));
    EXPECT_EQ((UINT)MF_UNCHECKED, popup->CheckMenuItem(ID_TOPMOST, MF_BYCOMMAND | MF_CHECKED));
    EXPECT_TRUE(Checked(ID_TOPMOST));
    EXPECT_EQ(0xFFFFFFFFu, popup->CheckMenuItem(4242, MF_BYCOMMAND | MF_CHECKED));
}

TEST_F(MenuTest, ModifyMenuRelabelsAnItemInsideASubmenu)
{
    CString label;
    label.Format(L"在第%d帧前插入图片", 3);
    ASSERT_TRUE(popup->ModifyMenu(ID_IMPORT_FILE, MF_BYCOMMAND | MF_STRING, ID_IMPORT_FILE, label));
    CString text;
    popup->GetMenuString(ID_IMPORT_FILE, text, MF_BYCOMMAND);
    EXPECT_EQ(label, text);
    EXPECT_EQ((UINT)ID_IMPORT_FILE, popup->GetSubMenu(2)->GetMenuItemID(0));
}

TEST_F(MenuTest, ItemBitmapsStayWithTheItem)
{
    CBitmap mark;
    ASSERT_TRUE(mark.LoadBitmap(IDB_WIDGETS_TEST));
    ASSERT_TRUE(popup->SetMenuItemBitmaps(2, MF_BYPOSITION, &mark, &mark));
    MENUITEMINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    ASSERT_TRUE(GetMenuItemInfoW(*popup, 2, TRUE, &info));
    EXPECT_EQ((HBITMAP)mark.m_hObject, info.hbmpUnchecked);
    EXPECT_EQ((HBITMAP)mark.m_hObject, info.hbmpChecked);
    menu.DestroyMenu();
}

TEST_F(MenuTest, TrackPopupMenuAsksTheResponderAndReturnsItsCommand)
{
    TestWindow owner;
    UINT seenFlags = 0;
    int seenX = 0, seenY = 0;
    HMENU seenMenu = nullptr;
    CMenu::SetTestResponder([&](CMenu& shown, UINT flags, int x, int y) -> UINT {
        seenMenu = shown.m_hMenu;
        seenFlags = flags;
        seenX = x;
        seenY = y;
        return ID_WATERMARK;
    });
    const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL | TPM_BOTTOMALIGN;
    EXPECT_EQ(ID_WATERMARK, popup->TrackPopupMenu(flags, 40, 60, &owner));
    EXPECT_EQ(popup->m_hMenu, seenMenu);
    EXPECT_EQ(flags, seenFlags);
    EXPECT_EQ(40, seenX);
    EXPECT_EQ(60, seenY);

    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return 0; });
    EXPECT_EQ(0, popup->TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner));
    EXPECT_EQ(0, popup->TrackPopupMenuEx(TPM_RETURNCMD, 0, 0, &owner, nullptr));

    // Without TPM_RETURNCMD the choice reaches the owner as a command.
    MSG msg;
    while (PeekMessageW(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    }
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_RATE_5; });
    EXPECT_TRUE(popup->TrackPopupMenu(TPM_LEFTALIGN, 0, 0, &owner));
    ASSERT_TRUE(PeekMessageW(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)ID_RATE_5, msg.wParam);
    EXPECT_EQ(0, msg.lParam);
}

TEST(MenuOwnership, OwnedMenusAreDestroyedAndOthersAreNot)
{
    HMENU handle = nullptr;
    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDM_WIDGETS_SETTINGS));
        handle = menu;
    }
    EXPECT_FALSE(IsMenu(handle));

    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDM_WIDGETS_SETTINGS));
        handle = menu.Detach();
    }
    EXPECT_TRUE(IsMenu(handle));

    CMenu* temporary = CMenu::FromHandle(handle);
    EXPECT_EQ(temporary, CMenu::FromHandle(handle));
    CMenu::DeleteTempMap();
    EXPECT_TRUE(IsMenu(handle));

    {
        CMenu menu;
        ASSERT_TRUE(menu.Attach(handle));
        EXPECT_FALSE(menu.Attach(handle));
    }
    EXPECT_FALSE(IsMenu(handle));
}
