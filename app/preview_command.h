#pragma once
// The Preview command: the preview dialog over the first selected row's file, with the record's
// part to convert; the part chosen with OK is stored in the record and shown in its row.
class CVelmoraView;

void RunPreviewCommand(CVelmoraView& view);
