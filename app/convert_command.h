#pragma once
// The Convert command: every record to "Waiting", every row refilled, the dialog of an earlier run
// discarded and a new conversion dialog run modally over the view.
class CVelmoraView;

void RunConvertCommand(CVelmoraView& view);
