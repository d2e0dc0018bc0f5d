/*
 * I2C core: driver registration, the standard address scan, client
 * bookkeeping and the SMBus helpers. One adapter exists, created at boot;
 * registering a driver offers it that adapter, removing the driver detaches
 * the driver's clients.
 */
#include <linux/errno.h>
#include <linux/i2c.h>
#include <linux/kernel.h>

#include "sim_internal.h"

static struct i2c_driver *drivers;
static int register_fault;
static int attach_fault;

void sim_fail_attach(int err)
{
	attach_fault = err;
}

void sim_fail_driver_register(int err)
{
	register_fault = err;
}

void sim_i2c_reset(void)
{
	drivers = NULL;
	register_fault = 0;
	attach_fault = 0;
}

u32 i2c_get_functionality(struct i2c_adapter *adap)
{
	return adap->algo->functionality(adap);
}

int i2c_register_driver(struct module *owner, struct i2c_driver *driver)
{
	struct i2c_adapter *adap = sim_adapter();
	int err = register_fault;

	(void)owner;
	register_fault = 0;
	if (err)
		return err;
	driver->next = drivers;
	drivers = driver;
	if (adap && driver->attach_adapter)
		driver->attach_adapter(adap);
	return 0;
}

int i2c_del_driver(struct i2c_driver *driver)
{
	struct i2c_adapter *adap = sim_adapter();
	struct i2c_driver **link;
	struct i2c_client *client, *next;
	int err;

	for (link = &drivers; *link && *link != driver; link = &(*link)->next)
		;
	if (!*link)
		return -EINVAL;
	for (client = adap ? adap->clients : NULL; client; client = next) {
		next = client->next;
		if (client->driver != driver || !driver->detach_client)
			continue;
		err = driver->detach_client(client);
		if (err) {
			printk(KERN_ERR "i2c-core: detach_client [%s] failed at address 0x%02x\n",
			       client->name, client->addr);
			return err;
		}
	}
	*link = driver->next;
	return 0;
}

static int address_busy(struct i2c_adapter *adap, unsigned short addr)
{
	struct i2c_client *c;

	for (c = adap->clients; c; c = c->next)
		if (c->addr == addr)
			return 1;
	return 0;
}

int i2c_attach_client(struct i2c_client *client)
{
	struct i2c_adapter *adap = client->adapter;
	int err = attach_fault;

	attach_fault = 0;
	if (err)
		return err;
	if (address_busy(adap, client->addr))
		return -EBUSY;
	client->usage_count = 0;
	client->next = adap->clients;
	adap->clients = client;
	return 0;
}

int i2c_detach_client(struct i2c_client *client)
{
	struct i2c_client **link;

	if (client->usage_count)
		return -EBUSY;
	for (link = &client->adapter->clients; *link; link = &(*link)->next) {
		if (*link == client) {
			*link = client->next;
			return 0;
		}
	}
	return -ENODEV;
}

/* Is pair (bus, addr) in an adapter,address list ended by I2C_CLIENT_END? */
static int listed(const unsigned short *list, int bus, unsigned short addr)
{
	int i;

	for (i = 0; i + 1 < I2C_CLIENT_MAX_OPTS && list[i] != I2C_CLIENT_END; i += 2)
		if ((list[i] == bus || list[i] == ANY_I2C_BUS) && list[i + 1] == addr)
			return 1;
	return 0;
}

/* kind < 0: only if something acknowledges its address. */
static int probe_address(struct i2c_adapter *adap, int addr, int kind,
			 int (*found)(struct i2c_adapter *, int, int))
{
	int err;

	if (addr < 0x03 || addr > 0x77)
		return -EINVAL;
	if (address_busy(adap, (unsigned short)addr))
		return 0;
	if (kind < 0 && i2c_smbus_xfer(adap, (u16)addr, 0, I2C_SMBUS_WRITE, 0,
				       I2C_SMBUS_QUICK, NULL) < 0)
		return 0;
	err = found(adap, addr, kind);
	return err == -ENODEV ? 0 : err;
}

/* Forced addresses first (kind = index of the force list), then the extra
 * probe pairs, then the driver's own addresses unless an ignore pair names
 * them. Probing a free address needs the quick command. */
int i2c_probe(struct i2c_adapter *adap, struct i2c_client_address_data *data,
	      int (*found)(struct i2c_adapter *, int, int))
{
	int bus = i2c_adapter_id(adap);
	int i, kind, err;

	for (kind = 0; data->forces && data->forces[kind]; kind++) {
		const unsigned short *f = data->forces[kind];

		for (i = 0; i + 1 < I2C_CLIENT_MAX_OPTS && f[i] != I2C_CLIENT_END; i += 2) {
			if (f[i] != bus && f[i] != ANY_I2C_BUS)
				continue;
			err = probe_address(adap, f[i + 1], kind, found);
			if (err)
				return err;
		}
	}
	if (!i2c_check_functionality(adap, I2C_FUNC_SMBUS_QUICK))
		return 0;
	for (i = 0; i + 1 < I2C_CLIENT_MAX_OPTS && data->probe[i] != I2C_CLIENT_END; i += 2) {
		if (data->probe[i] != bus && data->probe[i] != ANY_I2C_BUS)
			continue;
		err = probe_address(adap, data->probe[i + 1], -1, found);
		if (err)
			return err;
	}
	for (i = 0; i < I2C_CLIENT_MAX_OPTS && data->normal_i2c[i] != I2C_CLIENT_END; i++) {
		if (listed(data->ignore, bus, data->normal_i2c[i]))
			continue;
		err = probe_address(adap, data->normal_i2c[i], -1, found);
		if (err)
			return err;
	}
	return 0;
}

s32 i2c_smbus_xfer(struct i2c_adapter *adap, u16 addr, unsigned short flags,
		   char read_write, u8 command, int size,
		   union i2c_smbus_data *data)
{
	return adap->algo->smbus_xfer(adap, addr, flags, read_write, command,
				      size, data);
}

static s32 client_xfer(struct i2c_client *client, char read_write, u8 command,
		       int size, union i2c_smbus_data *data)
{
	return i2c_smbus_xfer(client->adapter, client->addr, (unsigned short)client->flags,
			      read_write, command, size, data);
}

s32 i2c_smbus_write_quick(struct i2c_client *client, u8 value)
{
	return client_xfer(client, (char)value, 0, I2C_SMBUS_QUICK, NULL);
}

s32 i2c_smbus_read_byte(struct i2c_client *client)
{
	union i2c_smbus_data data;
	s32 rc = client_xfer(client, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &data);

	return rc < 0 ? rc : data.byte;
}

s32 i2c_smbus_write_byte(struct i2c_client *client, u8 value)
{
	return client_xfer(client, I2C_SMBUS_WRITE, value, I2C_SMBUS_BYTE, NULL);
}

s32 i2c_smbus_read_byte_data(struct i2c_client *client, u8 command)
{
	union i2c_smbus_data data;
	s32 rc = client_xfer(client, I2C_SMBUS_READ, command, I2C_SMBUS_BYTE_DATA, &data);

	return rc < 0 ? rc : data.byte;
}

s32 i2c_smbus_write_byte_data(struct i2c_client *client, u8 command, u8 value)
{
	union i2c_smbus_data data;

	data.byte = value;
	return client_xfer(client, I2C_SMBUS_WRITE, command, I2C_SMBUS_BYTE_DATA, &data);
}

s32 i2c_smbus_read_i2c_block_data(struct i2c_client *client, u8 command, u8 *values)
{
	union i2c_smbus_data data;
	s32 rc;
	int i, n;

	data.block[0] = I2C_SMBUS_BLOCK_MAX;
	rc = client_xfer(client, I2C_SMBUS_READ, command, I2C_SMBUS_I2C_BLOCK_DATA, &data);
	if (rc < 0)
		return rc;
	n = data.block[0] > I2C_SMBUS_BLOCK_MAX ? I2C_SMBUS_BLOCK_MAX : data.block[0];
	for (i = 0; i < n; i++)
		values[i] = data.block[i + 1];
	return n;
}
