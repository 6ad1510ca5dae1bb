#include "game/game_command.h"

namespace qs {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

std::string describe(const GameCommand& command) {
    return std::visit(
        Overloaded{
            [](const command::Pointer& p) {
                return "pointer " + std::to_string(p.x) + " " + std::to_string(p.y);
            },
            [](const command::AimAngle& a) { return "aim_angle " + std::to_string(a.radians); },
            [](const command::Fire&) { return std::string("fire"); },
            [](const command::Swap&) { return std::string("swap"); },
            [](const command::FireRocket&) { return std::string("rocket"); },
            [](const command::Hurry&) { return std::string("hurry"); },
            [](const command::Escape&) { return std::string("escape"); },
            [](const command::OpenExitDialog&) { return std::string("open_exit_dialog"); },
            [](const command::CloseExitDialog&) { return std::string("close_exit_dialog"); },
            [](const command::LeaveForMenu&) { return std::string("leave_for_menu"); },
            [](const command::ShowRecords&) { return std::string("show_records"); },
            [](const command::ShowTryAgain&) { return std::string("show_try_again"); },
            [](const command::TryAgain&) { return std::string("try_again"); },
            [](const command::NextLevel&) { return std::string("next_level"); },
        },
        command);
}

}  // namespace qs
