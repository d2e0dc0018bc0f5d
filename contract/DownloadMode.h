#ifndef CONTRACT_DOWNLOADMODE_H
#define CONTRACT_DOWNLOADMODE_H

// How burnPSOCFile writes a controller firmware image. No handler of ours burns firmware;
// the default of burnPSOCFile answers 0 ("not supported") whatever the mode.
enum DownloadMode {
  DownloadNormal = 0,  // write the image when it differs from the controller's
  DownloadForced = 1,  // write it unconditionally
};

#endif
