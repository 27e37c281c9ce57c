// Placeholder translation unit for a folder library that has no sources yet.
namespace { [[maybe_unused]] int vx_empty_unit = 0; }
