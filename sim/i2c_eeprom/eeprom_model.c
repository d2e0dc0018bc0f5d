#include "sim/i2c_eeprom/eeprom_model.h"

#include <errno.h>
#include <string.h>

void eeprom_init(struct eeprom_part* part, long long twr_ns, long fail_after)
{
    memset(part, 0, sizeof(*part));
    memset(part->mem, 0xFF, sizeof(part->mem));
    part->twr_ns = twr_ns < 0 ? 0 : twr_ns;
    part->fail_after = fail_after;
}

int eeprom_slave_valid(int slave)
{
    return slave == EEPROM_SLAVE_LOW || slave == EEPROM_SLAVE_HIGH;
}

/* The block bit of the address comes from the slave address, the rest from the counter. */
static unsigned block_base(int slave)
{
    return (unsigned)(slave & 1) * EEPROM_BLOCK;
}

/* Whether the part acknowledges a transfer at this moment. */
static int answers(const struct eeprom_part* part, int slave, long long now_ns)
{
    if (!eeprom_slave_valid(slave))
        return 0;
    if (part->fail_after >= 0 && part->writes_done >= part->fail_after)
        return 0;
    return now_ns >= part->busy_until_ns;
}

long eeprom_write(struct eeprom_part* part, int slave, const unsigned char* buf, size_t n,
                  long long now_ns, int* stored)
{
    size_t i;
    unsigned page, offset;

    *stored = 0;
    if (!answers(part, slave, now_ns)) {
        errno = ENXIO;
        return -1;
    }
    part->writes_done++;
    if (n == 0)
        return 0; /* address only: an acknowledge poll */
    part->addr = block_base(slave) | buf[0];
    if (n == 1)
        return 1; /* sets the address for a following read; no write cycle */

    page = part->addr & ~(unsigned)(EEPROM_PAGE - 1);
    offset = part->addr & (EEPROM_PAGE - 1);
    for (i = 1; i < n; i++) {
        part->mem[page | offset] = buf[i];
        offset = (offset + 1) & (EEPROM_PAGE - 1);
    }
    part->addr = page | offset;
    part->busy_until_ns = now_ns + part->twr_ns;
    *stored = 1;
    return (long)n;
}

long eeprom_read(struct eeprom_part* part, int slave, unsigned char* buf, size_t n,
                 long long now_ns)
{
    size_t i;
    unsigned a;

    if (!answers(part, slave, now_ns)) {
        errno = ENXIO;
        return -1;
    }
    a = block_base(slave) | (part->addr & (EEPROM_BLOCK - 1));
    for (i = 0; i < n; i++) {
        buf[i] = part->mem[a];
        a = (a + 1) % EEPROM_SIZE;
    }
    part->addr = a;
    return (long)n;
}
