// The kinds of widget the window layer makes; a template names them in words.
#pragma once

enum class ControlKind : int {
    Window,
    Dialog,
    Button,
    Edit,
    Static,
    GroupBox,
    ComboBox,
    ListBox,
    ListView,
    Progress,
    Spin,
    Tab,
    RichEdit,
    ToolBar,
    StatusBar,
};
