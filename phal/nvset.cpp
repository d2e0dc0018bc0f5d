// nvset NAME VALUE: the program lives with the EEPROM device (ZorlanNvInterface.cpp).
#include "phal/ZorlanNvInterface.h"

int main(int argc, char** argv)
{
    return nvsetMain(argc, argv);
}
