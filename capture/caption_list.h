// The list of captions (the engine holds the program's one) and the operations on it. The list owns its records:
// whatever removes a record from it deletes the record.
//
// Threads: the user-interface thread adds, edits and removes captions only while the capture
// thread is not making a GIF; the capture thread reads the list only while it makes one.
#pragma once

#include "capture/caption_item.h"
#include "framework/collections.h"

// Appends the record at the tail; the list owns it from now on. Null when item is null.
POSITION AddCaption(CPtrList& list, CaptionItem* item);

// Removes the record from the list and deletes it. False (and nothing deleted) when the
// record is not in the list.
bool DeleteCaption(CPtrList& list, CaptionItem* item);

// Removes and deletes every record; the list itself stays usable.
void ClearCaptionList(CPtrList& list);

// The caption at pos, moving pos to the next one (null after the last).
CaptionItem* GetNextCaption(const CPtrList& list, POSITION& pos);

// The caption at a 0-based index in list order; null outside the list.
CaptionItem* GetCaptionAt(const CPtrList& list, INT_PTR index);
