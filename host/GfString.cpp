#include "contract/GfString.h"

#include <string.h>

#include <new>
#include <utility>

#include "contract/CHeap.h"

namespace {
const char kEmpty[] = "";
}

void GfString::assign(const char* text, unsigned int length) {
  char* copy = static_cast<char*>(CHeap::Instance()->New(length + 1, 0));
  if (!copy) throw std::bad_alloc();
  memcpy(copy, text, length);
  copy[length] = '\0';
  m_text = copy;
  m_length = length;
}

GfString::GfString() : m_text(nullptr), m_length(0) {}

GfString::GfString(const char* text) : m_text(nullptr), m_length(0) {
  if (text && *text) assign(text, static_cast<unsigned int>(strlen(text)));
}

GfString::GfString(const GfString& other) : m_text(nullptr), m_length(0) {
  if (other.m_text) assign(other.m_text, other.m_length);
}

GfString& GfString::operator=(const GfString& other) {
  if (this != &other) {
    GfString copy(other);  // copy first: a failed copy leaves this text as it was
    std::swap(m_text, copy.m_text);
    std::swap(m_length, copy.m_length);
  }
  return *this;
}

GfString::~GfString() {
  CHeap::Instance()->Delete(m_text);
}

const char* GfString::c_str() const {
  return m_text ? m_text : kEmpty;
}

unsigned int GfString::length() const {
  return m_length;
}

bool GfString::operator==(const char* text) const {
  return strcmp(c_str(), text ? text : kEmpty) == 0;
}
