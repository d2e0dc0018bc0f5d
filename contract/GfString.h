#ifndef CONTRACT_GFSTRING_H
#define CONTRACT_GFSTRING_H

#include "contract/Visibility.h"

// A text whose storage comes from the host heap (CHeap). Copies are deep.
class TP_FRAMEWORK GfString {
 public:
  GfString();
  GfString(const char* text);  // null is taken as ""
  GfString(const GfString& other);
  GfString& operator=(const GfString& other);
  ~GfString();

  const char* c_str() const;   // never null
  unsigned int length() const;
  bool operator==(const char* text) const;

 private:
  void assign(const char* text, unsigned int length);

  char* m_text;
  unsigned int m_length;
};

#endif
