// The translation unit a shared precompiled header is made for.
