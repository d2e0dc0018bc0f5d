#ifndef SIM_LINUX_I2C_H
#define SIM_LINUX_I2C_H

#include <linux/types.h>
#include <linux/device.h>
#include <linux/moduleparam.h>

struct module;
struct i2c_adapter;
struct i2c_client;

#define I2C_NAME_SIZE 50
#define I2C_SMBUS_BLOCK_MAX 32

/* Adapter capabilities. */
#define I2C_FUNC_I2C			0x00000001
#define I2C_FUNC_SMBUS_QUICK		0x00010000
#define I2C_FUNC_SMBUS_READ_BYTE	0x00020000
#define I2C_FUNC_SMBUS_WRITE_BYTE	0x00040000
#define I2C_FUNC_SMBUS_READ_BYTE_DATA	0x00080000
#define I2C_FUNC_SMBUS_WRITE_BYTE_DATA	0x00100000
#define I2C_FUNC_SMBUS_READ_WORD_DATA	0x00200000
#define I2C_FUNC_SMBUS_WRITE_WORD_DATA	0x00400000
#define I2C_FUNC_SMBUS_READ_I2C_BLOCK	0x04000000
#define I2C_FUNC_SMBUS_WRITE_I2C_BLOCK	0x08000000
#define I2C_FUNC_SMBUS_BYTE \
	(I2C_FUNC_SMBUS_READ_BYTE | I2C_FUNC_SMBUS_WRITE_BYTE)
#define I2C_FUNC_SMBUS_BYTE_DATA \
	(I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA)

/* SMBus transfer direction and kinds. */
#define I2C_SMBUS_WRITE		0
#define I2C_SMBUS_READ		1
#define I2C_SMBUS_QUICK		0
#define I2C_SMBUS_BYTE		1
#define I2C_SMBUS_BYTE_DATA	2
#define I2C_SMBUS_WORD_DATA	3
#define I2C_SMBUS_I2C_BLOCK_DATA 6

union i2c_smbus_data {
	u8 byte;
	u16 word;
	u8 block[I2C_SMBUS_BLOCK_MAX + 2];	/* [0] holds the length */
};

struct i2c_algorithm {
	int (*smbus_xfer)(struct i2c_adapter *adap, u16 addr,
			  unsigned short flags, char read_write, u8 command,
			  int size, union i2c_smbus_data *data);
	u32 (*functionality)(struct i2c_adapter *adap);
};

struct i2c_adapter {
	struct module *owner;
	unsigned int id;
	unsigned int class;
	const struct i2c_algorithm *algo;
	void *algo_data;
	int nr;
	char name[48];
	struct i2c_client *clients;	/* attached clients, newest first */
};

struct i2c_driver {
	int id;
	unsigned int class;
	int (*attach_adapter)(struct i2c_adapter *adapter);
	int (*detach_adapter)(struct i2c_adapter *adapter);
	int (*detach_client)(struct i2c_client *client);
	struct device_driver driver;
	struct i2c_driver *next;	/* registered drivers */
};

struct i2c_client {
	unsigned int flags;
	unsigned short addr;
	struct i2c_adapter *adapter;
	struct i2c_driver *driver;
	int usage_count;
	struct device dev;
	char name[I2C_NAME_SIZE];
	struct i2c_client *next;	/* on the adapter's list */
};

static inline void *i2c_get_clientdata(struct i2c_client *client)
{
	return dev_get_drvdata(&client->dev);
}

static inline void i2c_set_clientdata(struct i2c_client *client, void *data)
{
	dev_set_drvdata(&client->dev, data);
}

static inline int i2c_adapter_id(struct i2c_adapter *adap)
{
	return adap->nr;
}

u32 i2c_get_functionality(struct i2c_adapter *adap);

static inline int i2c_check_functionality(struct i2c_adapter *adap, u32 func)
{
	return (func & i2c_get_functionality(adap)) == func;
}

int i2c_register_driver(struct module *owner, struct i2c_driver *driver);
int i2c_del_driver(struct i2c_driver *driver);

static inline int i2c_add_driver(struct i2c_driver *driver)
{
	return i2c_register_driver((struct module *)0, driver);
}

int i2c_attach_client(struct i2c_client *client);
int i2c_detach_client(struct i2c_client *client);

/* Standard address scan. */
#define I2C_CLIENT_END		0xfffeU
#define ANY_I2C_BUS		0xffff
#define I2C_CLIENT_MAX_OPTS	48
#define I2C_CLIENT_DEFAULTS	{ I2C_CLIENT_END, I2C_CLIENT_END, I2C_CLIENT_END }

struct i2c_client_address_data {
	unsigned short *normal_i2c;
	unsigned short *probe;
	unsigned short *ignore;
	unsigned short **forces;
};

int i2c_probe(struct i2c_adapter *adapter,
	      struct i2c_client_address_data *address_data,
	      int (*found_proc)(struct i2c_adapter *, int, int));

/* The "probe", "ignore" and "force" parameters every client driver takes,
 * and the address data built from them and the driver's normal_i2c list. */
#define I2C_CLIENT_MODULE_PARM(var, desc) \
	static unsigned short var[I2C_CLIENT_MAX_OPTS] = I2C_CLIENT_DEFAULTS; \
	static unsigned int var##_num; \
	module_param_array(var, short, &var##_num, 0) \
	MODULE_PARM_DESC(var, desc)

#define I2C_CLIENT_INSMOD \
	I2C_CLIENT_MODULE_PARM(probe, \
		"List of adapter,address pairs to scan additionally") \
	I2C_CLIENT_MODULE_PARM(ignore, \
		"List of adapter,address pairs not to scan") \
	I2C_CLIENT_MODULE_PARM(force, \
		"List of adapter,address pairs to boldly assume to be present") \
	static unsigned short *forces[] = { force, (unsigned short *)0 }; \
	static struct i2c_client_address_data addr_data = { \
		.normal_i2c = normal_i2c, \
		.probe = probe, \
		.ignore = ignore, \
		.forces = forces, \
	}

s32 i2c_smbus_xfer(struct i2c_adapter *adapter, u16 addr, unsigned short flags,
		   char read_write, u8 command, int size,
		   union i2c_smbus_data *data);
s32 i2c_smbus_write_quick(struct i2c_client *client, u8 value);
s32 i2c_smbus_read_byte(struct i2c_client *client);
s32 i2c_smbus_write_byte(struct i2c_client *client, u8 value);
s32 i2c_smbus_read_byte_data(struct i2c_client *client, u8 command);
s32 i2c_smbus_write_byte_data(struct i2c_client *client, u8 command, u8 value);
/* Reads up to I2C_SMBUS_BLOCK_MAX registers from command on; returns the count. */
s32 i2c_smbus_read_i2c_block_data(struct i2c_client *client, u8 command,
				  u8 *values);

#endif
