#pragma once

/// Lets a screen reader read the painted wheel charts: their name, and every figure they
/// show as their description. Tables need nothing: they are item views. Safe to call often.
void installStudyAccessibility();
