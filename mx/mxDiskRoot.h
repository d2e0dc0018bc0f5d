// Where the user storage lives. The product directory is "/opt/qvt/" and the user storage
// "/opt/qvt/user/" below the file-system root; tests move that root into a folder of their
// own so that nothing outside it is ever read or removed. Nothing else should call this.
#ifndef MX_MXDISKROOT_H
#define MX_MXDISKROOT_H

#ifdef __cplusplus
extern "C" {
#endif

// root: an absolute folder that stands for "/" in the storage paths, or null or "" for the
// real root. Returns 0, or -1 (nothing changed) for a relative or overlong root.
int mxDiskSetRoot(const char* root);

// The product directory, user storage and file-system root in use, with the root applied:
// "<root>/opt/qvt/", "<root>/opt/qvt/user/", "<root>/".
const char* mxDiskProductDir(void);
const char* mxDiskUserDir(void);
const char* mxDiskRootDir(void);

#ifdef __cplusplus
}
#endif

#endif
