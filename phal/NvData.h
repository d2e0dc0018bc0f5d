// The boot-variable store: name=value pairs kept in the image of an NV device.
//
// Image layout (getDataSize() bytes; the device keeps the CRC-32 beside it):
//
//   name '=' value NUL  name '=' value NUL  ...  NUL
//
// The list ends with an empty entry (a NUL where the next entry would begin);
// an empty image is a NUL at byte 0. Bytes after it carry no meaning but are
// covered by the checksum. Names are compared byte for byte; values hold any
// byte but NUL. An entry with no NUL before the end of the image, and
// everything after it, is not part of the list.
//
// "qvt_param" is a container: its value is a list of key=value tokens
// separated by white space, and the names of qvtNvNameList ("res") live as
// tokens inside it rather than as entries of their own.
//
// After every successful change the whole image is written back with a fresh
// checksum. One object is used by one thread at a time.
#ifndef PHAL_NVDATA_H
#define PHAL_NVDATA_H

#include "phal/NvInterface.h"

class NvData {
public:
    explicit NvData(NvInterface* pInterface); // the device stays the caller's
    ~NvData();

    // 0 on success; -1 or the device's failure code otherwise. An empty value
    // removes the variable.
    int setNv(const char* name, const char* value);
    // buf must hold len + 1 bytes. Returns the characters copied, 0 if the
    // variable is absent, -1 for a bad call or a store that is not valid.
    int getNv(const char* name, char* buf, int len);
    void setInitMode(bool initMode);
    bool getInitMode() const;
    int getRunFlag();
    int setRunFlag(int iFlag);
    int isDataValid();

    // Read-only views for listing tools.
    // The text "name=value" of entry `index` in image order, or null past the end.
    const char* getEntry(int index) const;
    // Whether the load found the stored checksum wrong and started empty.
    bool wasCrcMismatch() const;

private:
    NvData(const NvData&) = delete;
    NvData& operator=(const NvData&) = delete;

    int flush();
    int set(const char* name, const char* value);
    char* get(const char* name);
    int match(const char* name, int start);
    int isQVTNv(const char* name);
    int getQVTNv(const char* name, char* buf, int len);
    int setQVTNv(const char* name, const char* value);
    unsigned int getDataChar(int i);
    char* getDataAddr(int i);
    int getDataSize();
    unsigned long getDataCrc();
    void setDataCrc(unsigned long crc);

    // The NUL that ends the entry at start, or -1 if the image ends first.
    int entryEnd(int start) const;
    // Where the list ends: the position of its terminating empty entry.
    int listEnd() const;
    // The entry matching name: its start and the position of its value.
    int find(const char* name, int* start);

    NvInterface* m_pInterface;
    char* m_pData;           // getDataSize() + 1 bytes, the last always NUL
    int m_iDataSize;
    int m_iDataValid;
    unsigned long m_lDataCrc;
    bool m_initMode;
    bool m_bCrcMismatch;
};

#endif
