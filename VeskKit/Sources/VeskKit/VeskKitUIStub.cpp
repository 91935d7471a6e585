namespace VeskKit { void uiLinkAnchor() {} }
