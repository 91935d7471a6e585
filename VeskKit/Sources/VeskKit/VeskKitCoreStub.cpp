namespace VeskKit { void coreLinkAnchor() {} }
