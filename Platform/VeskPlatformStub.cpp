// Keeps the library non-empty while the platform layer is still growing.
namespace VeskPlatform { void linkAnchor() {} }
