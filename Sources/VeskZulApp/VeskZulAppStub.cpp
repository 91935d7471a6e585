namespace VeskZulApp { void linkAnchor() {} }
