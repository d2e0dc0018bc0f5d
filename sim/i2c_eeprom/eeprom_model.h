/*
 * A 512-byte serial EEPROM of two 256-byte blocks, as it looks from the I2C bus.
 *
 *   slave 0x54 -> bytes 0..255, slave 0x55 -> bytes 256..511
 *   write transfer: <word address> <data...>   data go to sequential addresses,
 *                   wrapping inside the 16-byte page of the first one; a write
 *                   that carries data starts the part's write cycle
 *   read transfer:  bytes come sequentially from the current address
 *   during a write cycle the part acknowledges nothing, so every transfer fails
 *
 * The model is pure state: the caller supplies the clock, the interposer around
 * it deals with descriptors, files and the transfer log.
 */
#ifndef SIM_I2C_EEPROM_EEPROM_MODEL_H
#define SIM_I2C_EEPROM_EEPROM_MODEL_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    EEPROM_SIZE = 512,
    EEPROM_BLOCK = 256,
    EEPROM_PAGE = 16,
    EEPROM_SLAVE_LOW = 0x54,
    EEPROM_SLAVE_HIGH = 0x55
};

struct eeprom_part {
    unsigned char mem[EEPROM_SIZE];
    unsigned addr;             /* internal address counter, 0..511 */
    long long busy_until_ns;   /* end of the running write cycle, monotonic clock */
    long long twr_ns;          /* length of a write cycle */
    long fail_after;           /* write transfers before the part dies; -1 never */
    long writes_done;          /* write transfers acknowledged so far */
};

/* A blank part (all 0xFF) with the given write-cycle time and fail-after count. */
void eeprom_init(struct eeprom_part* part, long long twr_ns, long fail_after);

/* Non-zero if the part answers at this 7-bit slave address. */
int eeprom_slave_valid(int slave);

/* One write transfer to `slave` at time `now_ns`. Returns n, or -1 with errno set
 * (ENXIO: not acknowledged). `*stored` is set to 1 when data bytes reached the array. */
long eeprom_write(struct eeprom_part* part, int slave, const unsigned char* buf, size_t n,
                  long long now_ns, int* stored);

/* One read transfer of n bytes from `slave`. Returns n, or -1 with errno set. */
long eeprom_read(struct eeprom_part* part, int slave, unsigned char* buf, size_t n,
                 long long now_ns);

#ifdef __cplusplus
}
#endif

#endif
