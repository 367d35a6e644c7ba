#include "ui/main_window.h"

#include "ui/handlers.h"

namespace quorvel::ui {

using window::ControlKind;
using window::LabelLayout;

const window::WindowDefinition& MainWindowDefinition() {
    static const window::WindowDefinition definition{
        id::kMainWindow,
        "Quorvel",
        284,
        258,
        24,
        {
            {"标签5", id::k标签5, ControlKind::Label, 8, 184, 80, 40, "当前待计算数有：0 个",
             LabelLayout::TopLeftWrapped},
            {"按钮_打开小键盘", id::k按钮_打开小键盘, ControlKind::PushButton, 90, 184, 181, 40,
             "打开小键盘"},
            {"按钮_清空", id::k按钮_清空, ControlKind::PushButton, 90, 136, 88, 40, "清 空"},
            {"标签3", id::k标签3, ControlKind::Label, 94, 73, 74, 24, "标准差(sd)"},
            {"标签4", id::k标签4, ControlKind::Label, 94, 105, 74, 24, "变异系数(CV)"},
            {"标签2", id::k标签2, ControlKind::Label, 94, 41, 74, 24, "平均数"},
            {"标签1", id::k标签1, ControlKind::Label, 94, 9, 74, 24, "计算总数"},
            {"编辑框_标准差", id::k编辑框_标准差, ControlKind::ReadOutBox, 176, 72, 93, 24, "",
             {}, "标准差(sd)"},
            {"编辑框_变异系数", id::k编辑框_变异系数, ControlKind::ReadOutBox, 176, 104, 93, 24,
             "", {}, "变异系数(CV)"},
            {"编辑框_平均数", id::k编辑框_平均数, ControlKind::ReadOutBox, 176, 41, 93, 24, "",
             {}, "平均数"},
            {"编辑框_计算总数", id::k编辑框_计算总数, ControlKind::ReadOutBox, 176, 10, 93, 24,
             "", {}, "计算总数"},
            {"编辑框1", id::k编辑框1, ControlKind::InputBox, 3, 6, 84, 170, "", {}, "待计算数据"},
            {"按钮_计算", id::k按钮_计算, ControlKind::PushButton, 183, 136, 88, 40, "计 算"},
        },
    };
    return definition;
}

std::unique_ptr<MainWindow> MainWindow::Show(script::ScriptHost& host, window::Handler onCreated) {
    std::unique_ptr<MainWindow> self(new MainWindow());
    MainWindow* const me = self.get();
    std::vector<window::Binding> bindings = {
        {id::kMainWindow, window::Event::Created, std::move(onCreated)},
        {id::k编辑框1, window::Event::TextChanged, [me] { OnInputChanged(*me->window_); }},
        {id::k按钮_计算, window::Event::Clicked, [me, &host] { OnComputeClicked(*me->window_, host); }},
        {id::k按钮_清空, window::Event::Clicked, [me] { OnClearClicked(*me->window_); }},
        {id::k按钮_打开小键盘, window::Event::Clicked, [] { OnKeypadClicked(); }},
    };
    self->owned_ = window::BuildWindow(MainWindowDefinition(), std::move(bindings),
                                       [me](window::Window& built) { me->window_ = &built; });
    return self;
}

}  // namespace quorvel::ui
