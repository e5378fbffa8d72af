#pragma once
/*
 * The interface between the application and a language module (LanRes<Name>Dll.so). It is plain C:
 * fixed-width numbers, const char* texts in UTF-8 and tables of structs, so a module built by
 * another compiler or another C++ library still matches. Every module exports four functions:
 *
 *   uint32_t GetLanguage(void);                       language identifier (low 16 bits used)
 *   const char* GetLanguageName(void);                menu text, UTF-8, may hold an "&" mnemonic
 *   uint32_t GetResourceSetVersion(void);             LUMICAST_RESOURCE_SET_VERSION of its build
 *   const LumicastResourceSet* GetResourceSet(void);  the module's complete resource set
 *
 * The application reads the set only when GetResourceSetVersion() returns the version it was built
 * with; a module of another version is ignored. Change the version whenever a struct below
 * changes shape or meaning. All tables stay valid while the module is loaded.
 */
#include <stdint.h> // NOLINT(modernize-deprecated-headers): shared with C

#define LUMICAST_RESOURCE_SET_VERSION 1u

#ifdef __cplusplus
extern "C" {
#endif

/* One string-table text. */
typedef struct LumicastString {
    int32_t nId;
    const char* szText;
} LumicastString;

/* Flags of a menu item. */
#define LUMICAST_MENU_SEPARATOR 1u /* a separator; no text, no command */
#define LUMICAST_MENU_CHECKED 2u   /* shown with a check mark */
#define LUMICAST_MENU_POPUP 4u     /* opens the items that follow with nDepth one greater */

/* A menu is its items in order, depth first: a pop-up at depth d is followed by its own items at
   depth d + 1. Top-level pop-ups have depth 0. */
typedef struct LumicastMenuItem {
    int32_t nDepth;
    int32_t nCommand; /* 0 for a separator or a pop-up */
    uint32_t nFlags;
    const char* szText; /* "" for a separator */
} LumicastMenuItem;

typedef struct LumicastMenu {
    int32_t nId;
    uint32_t nItemCount;
    const LumicastMenuItem* pItems;
} LumicastMenu;

/* A control of a dialog template. nKind and nStyle carry the values of lang::ControlKind and
   lang::ControlStyle; rectangles are in dialog units. */
typedef struct LumicastControl {
    int32_t nId; /* -1 for a control without an id */
    int32_t nKind;
    const char* szText;
    int32_t x, y, cx, cy;
    uint32_t nStyle;
    int32_t nMaxLength;
} LumicastControl;

typedef struct LumicastDialog {
    int32_t nId;
    const char* szCaption; /* "" for no caption bar */
    const char* szFont;
    int32_t nPointSize;
    int32_t cx, cy;
    uint32_t nControlCount;
    const LumicastControl* pControls;
} LumicastDialog;

typedef struct LumicastToolbarButton {
    int32_t nCommand;   /* 0 for a separator */
    int32_t nCaptionId; /* string id of the caption, 0 for a separator */
} LumicastToolbarButton;

typedef struct LumicastResourceSet {
    uint32_t nVersion;    /* LUMICAST_RESOURCE_SET_VERSION */
    uint32_t nStructSize; /* sizeof(LumicastResourceSet) */
    uint32_t nLanguage;
    const char* szLanguageName;
    uint32_t nStringCount;
    const LumicastString* pStrings;
    uint32_t nMenuCount;
    const LumicastMenu* pMenus;
    uint32_t nDialogCount;
    const LumicastDialog* pDialogs;
    uint32_t nToolbarCount; /* toolbar 128 */
    const LumicastToolbarButton* pToolbar;
} LumicastResourceSet;

typedef uint32_t (*LumicastGetLanguageFn)(void);
typedef const char* (*LumicastGetLanguageNameFn)(void);
typedef uint32_t (*LumicastGetResourceSetVersionFn)(void);
typedef const LumicastResourceSet* (*LumicastGetResourceSetFn)(void);

#ifdef __cplusplus
}
#endif
