#pragma once

// What the window system under the application lets it do with its own
// windows.
namespace VeskWindowSystem {

// Qt's native Wayland platform: a client can neither place its windows nor
// keep them above others, and the positions Qt reports for them are only
// the ones it asked for, not where the compositor put them.
bool isNativeWayland();

} // namespace VeskWindowSystem
