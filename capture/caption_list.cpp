#include "capture/caption_list.h"

#include <cwchar>
#include <new>

CaptionItem* NewCaptionItem() {
    // Value-initialised: every field 0, the floats 0.0.
    return new CaptionItem();
}

size_t CaptionTextLength(const CXTEXTINFO& info) {
    return wcsnlen(info.text, kCaptionTextMax + 1);
}

namespace {

// Copies at most max units and always terminates; dst holds max + 1 units.
void CopyBounded(WCHAR* dst, size_t max, const wchar_t* src) {
    const size_t n = src ? wcsnlen(src, max) : 0;
    if (n > 0) wmemcpy(dst, src, n);
    dst[n] = 0;
}

}  // namespace

void SetTextInfoText(CXTEXTINFO& info, const wchar_t* text) {
    CopyBounded(info.text, kCaptionTextMax, text);
}

void SetCaptionText(CaptionItem& item, const wchar_t* text) { SetTextInfoText(item.textInfo, text); }

void SetCaptionFaceName(CaptionItem& item, const wchar_t* face) {
    CopyBounded(item.textInfo.lfont.lfFaceName, kCaptionFaceMax, face);
}

POSITION AddCaption(CPtrList& list, CaptionItem* item) {
    if (item == nullptr) return nullptr;
    POSITION pos = nullptr;
    try {
        pos = list.AddTail(item);
    } catch (const std::bad_alloc&) {
        pos = nullptr;
    }
    if (pos == nullptr) delete item;  // the list could not take it; nobody else owns it
    return pos;
}

bool DeleteCaption(CPtrList& list, CaptionItem* item) {
    if (item == nullptr) return false;
    POSITION pos = list.Find(item);
    if (pos == nullptr) return false;
    list.RemoveAt(pos);
    delete item;
    return true;
}

void ClearCaptionList(CPtrList& list) {
    while (!list.IsEmpty()) delete static_cast<CaptionItem*>(list.RemoveHead());
}

CaptionItem* GetNextCaption(const CPtrList& list, POSITION& pos) {
    if (pos == nullptr) return nullptr;
    return static_cast<CaptionItem*>(list.GetNext(pos));
}

CaptionItem* GetCaptionAt(const CPtrList& list, INT_PTR index) {
    POSITION pos = list.FindIndex(index);
    return pos ? static_cast<CaptionItem*>(list.GetAt(pos)) : nullptr;
}
