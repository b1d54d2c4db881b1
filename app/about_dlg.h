// The About box (version, legal notice, banner, two web links) and the update notice, a hidden
// modeless dialog that shows itself when the product's version page offers another version.
// No window of the program opens either yet; they are ready for a caller.
#pragma once

#include "controls/gif_explorer.h"
#include "controls/link_label.h"
#include "framework/controls.h"
#include "framework/dialog.h"

// The application title and product version of the program's version resource, and its legal
// notice; the fallback texts stay when the resource or a part of it is missing.
void GetVersionInfo(CString& version, CString& legal);
// A link of the About box: its text, its address, one colour for every state, no tooltip.
void SetupAboutLink(CUrlLabel& link, LPCTSTR text, LPCTSTR address);

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    CStatic m_version;
    CStatic m_legal;
    CStatic m_customInfo;
    CUrlLabel m_homeLink;
    CUrlLabel m_supportLink;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CUpdateDlg : public CDialog {
public:
    explicit CUpdateDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    // The version page has loaded; pageText is its body's text (null or empty when it could not
    // be read). Shows the notice when the page names another version and no recording runs.
    void OnDocumentComplete(LPCTSTR pageText);
    // "major.minor.build.revision" of the running program's product version; empty without a
    // version resource.
    static void GetOwnVersion(CString& version);

    CStatic m_ownVersion;
    CGifexplorer m_page;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
