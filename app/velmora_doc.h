#pragma once
// The document of the single-document frame. It holds no data; it asks the user before the
// application closes.
class QWidget;

class CVelmoraDoc {
public:
    // The exit question ("Thanks for using Lumicast. Sure to exit?", OK/Cancel). True when the
    // user lets the application close.
    bool SaveModified(QWidget* parent);
};
