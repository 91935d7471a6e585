namespace VeskZulCore { void linkAnchor() {} }
