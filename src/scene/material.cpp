#include "scene/material.h"

namespace scene {

Material& MaterialLibrary::Add(const std::string& name) {
  ++revision_;
  if (auto it = index_.find(name); it != index_.end()) {
    Material& m = materials_[static_cast<size_t>(it->second)];
    m = Material{};
    m.name = name;
    return m;
  }
  index_.emplace(name, static_cast<int>(materials_.size()));
  Material& m = materials_.emplace_back();
  m.name = name;
  return m;
}

int MaterialLibrary::IndexOf(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

const Material* MaterialLibrary::Find(std::string_view name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &materials_[static_cast<size_t>(i)];
}

Material* MaterialLibrary::Find(std::string_view name) {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &materials_[static_cast<size_t>(i)];
}

}  // namespace scene
